#include "ShownText.h"

#include <QStringView>

#include <algorithm>

namespace
{

constexpr char16_t replacement = u'\uFFFD';

// Characters with no glyph of their own that change how the text around them is laid out or
// hide where one word ends: direction marks, embeddings, overrides and isolates, zero-width
// spaces, the byte order mark, invisible operators and interlinear annotation marks.
bool isInvisibleFormatting(char32_t code)
{
    switch (code) {
    case 0x061C: // ARABIC LETTER MARK
    case 0x180E: // MONGOLIAN VOWEL SEPARATOR
    case 0x200B: // ZERO WIDTH SPACE
    case 0x200E: // LEFT-TO-RIGHT MARK
    case 0x200F: // RIGHT-TO-LEFT MARK
    case 0xFEFF: // ZERO WIDTH NO-BREAK SPACE
        return true;
    }
    return (code >= 0x202A && code <= 0x202E) || (code >= 0x2060 && code <= 0x2064) ||
           (code >= 0x2066 && code <= 0x206F) || (code >= 0xFFF9 && code <= 0xFFFB);
}

bool breaksTheLine(char32_t code)
{
    return code == u'\t' || code == u'\n' || code == u'\v' || code == u'\f' || code == u'\r' ||
           code == 0x0085 || code == 0x2028 || code == 0x2029;
}

// Characters a terminal lays out otherwise than as letters of their own.
bool movesText(QChar unit)
{
    return isInvisibleFormatting(unit.unicode()) || unit.unicode() == 0x2028 ||
           unit.unicode() == 0x2029;
}

QString unicodeEscape(QChar unit)
{
    return QStringLiteral("\\u%1").arg(unit.unicode(), 4, 16, QLatin1Char('0'));
}

} // namespace

namespace ShownText
{

QString oneLine(const QString& text, qsizetype maxLength)
{
    QString line;
    line.reserve(std::min(text.size(), maxLength + 1));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        char32_t code = unit.unicode();
        const bool pairStarts =
            unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        if (pairStarts)
            code = QChar::surrogateToUcs4(unit, text.at(++i));
        else if (unit.isSurrogate())
            code = replacement;
        if (breaksTheLine(code))
            line += QLatin1Char(' ');
        else if (QChar::category(code) == QChar::Other_Control)
            line += QChar(replacement);
        else if (!isInvisibleFormatting(code))
            line += QStringView(QChar::fromUcs4(code));
    }
    line = line.trimmed();
    if (line.size() <= maxLength)
        return line;
    // Cut between code points, never inside a surrogate pair.
    qsizetype cut = maxLength;
    if (line.at(cut).isLowSurrogate())
        --cut;
    return line.left(cut).trimmed() + QChar(u'…');
}

QString escaped(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar unit : text) {
        if (unit.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(unit.unicode(), 2, 16, QLatin1Char('0'));
        else if (movesText(unit))
            shown += unicodeEscape(unit);
        else
            shown += unit;
    }
    return shown;
}

QString jsonEscaped(const QString& json)
{
    QString shown;
    shown.reserve(json.size());
    for (const QChar unit : json) {
        // Outside strings the writer puts only line breaks and spaces.
        if ((unit.category() == QChar::Other_Control && unit != u'\n') || movesText(unit))
            shown += unicodeEscape(unit);
        else
            shown += unit;
    }
    return shown;
}

QString isolated(const QString& text)
{
    return QChar(u'\u2068') + text + QChar(u'\u2069');
}

} // namespace ShownText
