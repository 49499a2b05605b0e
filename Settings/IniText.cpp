#include "IniText.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cctype>
#include <charconv>
#include <utility>

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// \r\n and \n\r end a line as one.
bool isLineEndPair(char first, char second)
{
    return (first == '\n' || first == '\r') && (second == '\n' || second == '\r') &&
           first != second;
}

// The one-letter escapes in values: the letter after the backslash and what it stands for.
constexpr std::pair<char, char> letterEscapes[] = {
    {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'v', '\v'}};

// What a backslash and `letter` stand for in a value, for the escapes of one letter.
std::optional<char> unescaped(char letter)
{
    if (letter == '"' || letter == '?' || letter == '\'' || letter == '\\')
        return letter;
    for (const auto& [escape, meaning] : letterEscapes) {
        if (escape == letter)
            return meaning;
    }
    return std::nullopt;
}

// The letter QSettings writes after a backslash for `c`.
std::optional<char> escaped(char16_t c)
{
    if (c == '"' || c == '\\')
        return char(c);
    for (const auto& [letter, meaning] : letterEscapes) {
        if (meaning == c)
            return letter;
    }
    return std::nullopt;
}

bool isHexDigit(char16_t c)
{
    return c < 0x80 && std::isxdigit(c);
}

struct Line {
    QByteArrayView text;
    qsizetype equals; // the first '=' outside quotes; -1 when there is none
};

// The next line from `pos` as QSettings splits them: blank lines and ';' comments are skipped,
// a backslash carries a line on, quotes hold line ends, ';' and '=' in quotes are text, and an
// unquoted ';' starts a comment.
std::optional<Line> nextLine(QByteArrayView data, qsizetype& pos)
{
    qsizetype start = pos;
    while (start < data.size() && isBlank(data[start]))
        ++start;
    qsizetype equals = -1;
    bool quoted = false;
    qsizetype i = start;
    for (bool ended = false; !ended && i < data.size();) {
        const char c = data[i++];
        if (c == '=' && !quoted && equals < 0) {
            equals = i - 1 - start;
        } else if ((c == '\n' || c == '\r') && !quoted) {
            ended = true;
            --i;
        } else if (c == '\\' && i < data.size()) {
            const char next = data[i++];
            if (i < data.size() && isLineEndPair(next, data[i]))
                ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';' && i == start + 1) {
            while (i < data.size() && data[i] != '\n' && data[i] != '\r')
                ++i;
            while (i < data.size() && isBlank(data[i]))
                ++i;
            start = i;
        } else if (c == ';' && !quoted) {
            ended = true;
            --i;
        }
    }
    pos = i;
    if (i == start)
        return std::nullopt;
    return Line{data.sliced(start, i - start), equals};
}

QString unescapedKey(QByteArrayView key)
{
    const QString decoded = QString::fromUtf8(key);
    QString result;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded[i];
        if (c == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        // %XX or %UXXXX; anything else after '%' is plain text.
        const bool wide = c == u'%' && i + 1 < decoded.size() && decoded[i + 1] == u'U';
        const qsizetype digits = wide ? 4 : 2;
        const qsizetype first = i + (wide ? 2 : 1);
        bool ok = false;
        const ushort code = c == u'%' && first + digits <= decoded.size()
                                ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            result += QChar(code);
            i = first + digits;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

void appendEscapedKey(QStringView key, QByteArray& out)
{
    for (const QChar c : key) {
        const char16_t code = c.unicode();
        if (code == '/')
            out += '\\';
        else if (code < 0x80 && (c.isLetterOrNumber() || code == '_' || code == '-' || code == '.'))
            out += char(code);
        else if (code <= 0xFF)
            out += '%' + QByteArray::number(code, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(code, 16).toUpper().rightJustified(4, '0');
    }
}

void chopTrailingBlanks(QString& text, qsizetype limit)
{
    while (text.size() > limit && (text.endsWith(u' ') || text.endsWith(u'\t')))
        text.chop(1);
}

// A value as QSettings reads it: escapes resolved, quotes removed, unquoted blanks around it
// dropped, and split at unquoted commas into a list.
IniText::Value unescapedValue(QByteArrayView raw)
{
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    QString current;
    QStringList list;
    bool isList = false;
    bool quoted = false;
    bool currentQuoted = false;
    qsizetype keep = 0; // blanks before this index were escaped or quoted, so they stay
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        keep = current.size();
    };
    const auto finish = [&]() -> IniText::Value {
        if (!isList)
            return current;
        list.append(current);
        return list;
    };
    // The number the digits from i on spell in `base`, as far as they go.
    const auto number = [&](int base) {
        unsigned code = 0;
        const char* begin = raw.data() + i;
        i += std::from_chars(begin, raw.data() + raw.size(), code, base).ptr - begin;
        return char16_t(code);
    };

    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i == raw.size())
                return finish();
            const char next = raw[i++];
            if (const std::optional<char> letter = unescaped(next)) {
                current += QLatin1Char(*letter);
            } else if (next == 'x' && i < raw.size() && isHexDigit(raw[i])) {
                current += QChar(number(16));
            } else if (next >= '0' && next <= '7') {
                --i;
                current += QChar(number(8));
            } else if (i < raw.size() && isLineEndPair(next, raw[i])) {
                ++i;
            }
            // Any other character after a backslash, and a line end, is left out.
            keep = current.size();
        } else if (c == '"') {
            ++i;
            currentQuoted = true;
            quoted = !quoted;
            if (!quoted)
                skipBlanks();
        } else if (c == ',' && !quoted) {
            if (!currentQuoted)
                chopTrailingBlanks(current, keep);
            isList = true;
            list.append(current);
            current.clear();
            currentQuoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype end = i + 1;
            while (end < raw.size() && raw[end] != '\\' && raw[end] != '"' && raw[end] != ',')
                ++end;
            current += fromUtf8(raw.sliced(i, end - i));
            i = end;
        }
    }
    if (!currentQuoted)
        chopTrailingBlanks(current, keep);
    return finish();
}

void appendEscapedText(const QString& text, QByteArray& out)
{
    // Values of other types QSettings keeps as Latin-1 bytes, every byte past ASCII escaped.
    const bool bytes = text.startsWith(QLatin1String("@ByteArray(")) ||
                       text.startsWith(QLatin1String("@Variant(")) ||
                       text.startsWith(QLatin1String("@DateTime("));
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    const qsizetype start = out.size();
    bool quote = false;
    bool escapeHexDigit = false; // a hex digit right after a \x or \0 escape would join it
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        quote = quote || code == ';' || code == ',' || code == '=';
        if (escapeHexDigit && isHexDigit(code)) {
            out += "\\x" + QByteArray::number(code, 16);
            continue;
        }
        escapeHexDigit = false;
        if (code == 0) {
            out += "\\0";
            escapeHexDigit = true;
        } else if (const std::optional<char> letter = escaped(code)) {
            out += '\\';
            out += *letter;
        } else if (code <= 0x1F || (bytes && code >= 0x7F)) {
            out += "\\x" + QByteArray::number(code, 16);
            escapeHexDigit = true;
        } else if (bytes) {
            out += char(code);
        } else {
            out += toUtf8(QStringView(&c, 1));
        }
    }
    if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

void appendEscapedValue(const IniText::Value& value, QByteArray& out)
{
    if (const QString* text = std::get_if<QString>(&value)) {
        appendEscapedText(*text, out);
        return;
    }
    const QStringList& list = std::get<QStringList>(value);
    // What QSettings reads back as an empty list.
    if (list.isEmpty())
        out += "@Invalid()";
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendEscapedText(list[i], out);
    }
}

} // namespace

std::optional<IniText::Entries> IniText::entries(QByteArrayView text)
{
    const QByteArrayView byteOrderMark("\xEF\xBB\xBF");
    if (text.startsWith(byteOrderMark))
        text = text.sliced(byteOrderMark.size());
    Entries entries;
    QString section;
    qsizetype pos = 0;
    while (const std::optional<Line> line = nextLine(text, pos)) {
        if (line->text.startsWith('[')) {
            const qsizetype end = line->text.indexOf(']');
            if (end < 0)
                return std::nullopt;
            const QByteArrayView name = line->text.sliced(1, end - 1).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.sliced(1)) + u'/';
            else
                section = unescapedKey(name) + u'/';
        } else if (line->equals < 0) {
            return std::nullopt;
        } else {
            entries.insert(section + unescapedKey(line->text.first(line->equals).trimmed()),
                           unescapedValue(line->text.sliced(line->equals + 1)));
        }
    }
    return entries;
}

QByteArray IniText::text(const Entries& entries)
{
    // QMap keeps "key" (in [General]) and "section/key" apart only by the slash; group them.
    QMap<QString, QList<Entries::const_iterator>> sections;
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        const qsizetype slash = entry.key().indexOf(u'/');
        sections[slash < 0 ? QString() : entry.key().first(slash)].append(entry);
    }
    QByteArray out;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (!out.isEmpty())
            out += '\n';
        QByteArray name;
        appendEscapedKey(section.key(), name);
        if (name.isEmpty())
            name = "General";
        else if (name.compare("general", Qt::CaseInsensitive) == 0)
            name = "%General";
        out += '[' + name + "]\n";
        const qsizetype skip = section.key().isEmpty() ? 0 : section.key().size() + 1;
        for (const Entries::const_iterator& entry : section.value()) {
            appendEscapedKey(QStringView(entry.key()).sliced(skip), out);
            out += '=';
            appendEscapedValue(entry.value(), out);
            out += '\n';
        }
    }
    return out;
}
