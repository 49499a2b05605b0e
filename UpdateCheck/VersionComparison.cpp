#include "VersionComparison.h"

#include <QList>
#include <QStringView>

namespace VersionComparison
{
namespace
{

// A run of digits or a run of other characters; separators only divide runs.
struct Part {
    QStringView text;
    bool number;
};

bool isSeparator(QChar c)
{
    return c == u'.' || c == u'-' || c == u'_' || c == u'+' || c.isSpace();
}

QList<Part> parts(const QString& version)
{
    QList<Part> result;
    qsizetype start = 0;
    while (start < version.size()) {
        if (isSeparator(version.at(start))) {
            ++start;
            continue;
        }
        const bool number = version.at(start).isDigit();
        qsizetype end = start + 1;
        while (end < version.size() && !isSeparator(version.at(end)) &&
               version.at(end).isDigit() == number)
            ++end;
        result.append({QStringView(version).mid(start, end - start), number});
        start = end;
    }
    return result;
}

// Compares digit runs of any length without overflowing.
int compareNumbers(QStringView a, QStringView b)
{
    while (a.size() > 1 && a.front() == u'0')
        a = a.mid(1);
    while (b.size() > 1 && b.front() == u'0')
        b = b.mid(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

int compare(const QString& a, const QString& b)
{
    const QList<Part> left = parts(a);
    const QList<Part> right = parts(b);
    static const Part zero{u"0", true};
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const bool hasLeft = i < left.size();
        const bool hasRight = i < right.size();
        // A missing number is a zero; a missing part against a text means the text is a
        // pre-release of the shorter version.
        if (!hasLeft && !right[i].number)
            return 1;
        if (!hasRight && !left[i].number)
            return -1;
        const Part& l = hasLeft ? left[i] : zero;
        const Part& r = hasRight ? right[i] : zero;
        if (l.number != r.number)
            return l.number ? 1 : -1;
        const int order =
            l.number ? compareNumbers(l.text, r.text) : l.text.compare(r.text, Qt::CaseInsensitive);
        if (order != 0)
            return sign(order);
    }
    return 0;
}

} // namespace VersionComparison
