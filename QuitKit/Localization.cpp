#include "Localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <optional>
#include <type_traits>

namespace
{

// One context for every text: keys are whole English sentences, not per-class strings.
constexpr const char* translationContext = "Nimbrel";
constexpr QStringView translationDirectory = u":/i18n";
constexpr qsizetype maxPosition = 999;

struct Placeholder {
    qsizetype length = 0;   // characters from '%' through the conversion character
    qsizetype position = 0; // 1-based when written positionally, else 0
    QChar conversion;       // 'd', '@' or '%'
};

// The placeholder that starts at `format[start]` (a '%'), or nothing when it is none we fill.
std::optional<Placeholder> placeholderAt(const QString& format, qsizetype start)
{
    qsizetype i = start + 1;
    qsizetype position = 0;
    while (i < format.size() && format[i].isDigit()) {
        position = position * 10 + format[i++].digitValue();
        // No format has that many arguments; stop before the number can overflow.
        if (position > maxPosition)
            return std::nullopt;
    }
    if (i > start + 1) {
        if (i >= format.size() || format[i] != u'$' || position == 0)
            return std::nullopt;
        ++i;
    }
    if (i >= format.size())
        return std::nullopt;
    const QChar conversion = format[i];
    if (conversion != u'd' && conversion != u'@' && !(conversion == u'%' && position == 0))
        return std::nullopt;
    return Placeholder{i + 1 - start, position, conversion};
}

} // namespace

QString L(const QString& key)
{
    return QCoreApplication::translate(translationContext, key.toUtf8().constData());
}

QString LocalizedArgument::toLocalizedString() const
{
    return std::visit(
        [](const auto& v) -> QString {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, QString>)
                return v;
            else
                return QLocale().toString(v);
        },
        value);
}

QString fillFormat(const QString& format, const QList<LocalizedArgument>& arguments)
{
    QString result;
    result.reserve(format.size());
    qsizetype nextArgument = 0;
    qsizetype i = 0;
    while (i < format.size()) {
        const std::optional<Placeholder> placeholder =
            format[i] == u'%' ? placeholderAt(format, i) : std::nullopt;
        if (!placeholder) {
            result.append(format[i++]);
            continue;
        }
        if (placeholder->conversion == u'%') {
            result.append(u'%');
        } else {
            const qsizetype index =
                placeholder->position > 0 ? placeholder->position - 1 : nextArgument++;
            if (index < arguments.size())
                result.append(arguments[index].toLocalizedString());
            else
                result.append(QStringView(format).mid(i, placeholder->length));
        }
        i += placeholder->length;
    }
    return result;
}

void installTranslations(QCoreApplication& application)
{
    const QString directory = translationDirectory.toString();
    auto* linuxEnglish = new QTranslator(&application);
    if (linuxEnglish->load(QStringLiteral("nimbrel_en"), directory))
        QCoreApplication::installTranslator(linuxEnglish);

    auto* language = new QTranslator(&application);
    // The English table may match the user's locale too; installing it twice would only cost time.
    if (language->load(QLocale(), QStringLiteral("nimbrel"), QStringLiteral("_"), directory) &&
        language->filePath() != linuxEnglish->filePath())
        QCoreApplication::installTranslator(language);
    else
        delete language;
}
