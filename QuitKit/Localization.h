#pragma once

#include <QList>
#include <QString>

#include <concepts>
#include <variant>

class QCoreApplication;

// The user-visible text for `key`, the English text itself; the key unchanged when no installed
// table translates it. Safe on any thread.
QString L(const QString& key);

// One value for a `%d` (integer) or `%@` (text) of a format.
class LocalizedArgument
{
public:
    template <std::signed_integral Integer> LocalizedArgument(Integer value) : value(qint64(value))
    {
    }
    template <std::unsigned_integral Integer>
    LocalizedArgument(Integer value) : value(quint64(value))
    {
    }
    LocalizedArgument(const QString& text) : value(text) {}
    LocalizedArgument(const char* text) : value(QString::fromUtf8(text)) {}

    // The value as the user's locale writes it (locale digits and grouping for integers).
    QString toLocalizedString() const;

private:
    std::variant<qint64, quint64, QString> value;
};

// Fills a printf-style `format` (`%d`, `%@`, their positional forms `%1$d`, `%2$@`, and `%%`)
// with `arguments`; a placeholder without an argument stays as written.
QString fillFormat(const QString& format, const QList<LocalizedArgument>& arguments);

// The translated format for `key`, filled with `arguments` in the user's locale.
template <typename... Arguments> QString L(const QString& key, const Arguments&... arguments)
{
    return fillFormat(L(key), QList<LocalizedArgument>{LocalizedArgument(arguments)...});
}

// Installs the program's translation tables: the Linux English table first, then the table of
// the user's language when one is shipped, so it takes precedence. Call once per application.
void installTranslations(QCoreApplication& application);
