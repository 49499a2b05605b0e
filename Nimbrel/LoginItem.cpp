#include <glib.h>

#include "AtomicWrite.h"
#include "BoundedFile.h"
#include "ConfigHome.h"
#include "LoginItem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sys/stat.h>

namespace
{

constexpr qint64 largestEntry = 64 * 1024;
constexpr const char* markerKey = "X-Nimbrel-Autostart";
constexpr const char* sessionEnabledKey = "X-GNOME-Autostart-enabled";

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileDeleter>;

QString autostartDirectory()
{
    return configHome() + QStringLiteral("/autostart");
}

std::optional<bool> booleanKey(GKeyFile* file, const char* key)
{
    GError* error = nullptr;
    const bool value = g_key_file_get_boolean(file, G_KEY_FILE_DESKTOP_GROUP, key, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return value;
}

LoginItem::Status statusOfEntry(const QByteArray& contents)
{
    KeyFile file(g_key_file_new());
    if (!g_key_file_load_from_data(file.get(), contents.constData(), gsize(contents.size()),
                                   G_KEY_FILE_NONE, nullptr) ||
        !booleanKey(file.get(), markerKey).value_or(false))
        return LoginItem::Status::NotOurs;
    if (booleanKey(file.get(), G_KEY_FILE_DESKTOP_KEY_HIDDEN).value_or(false) ||
        !booleanKey(file.get(), sessionEnabledKey).value_or(true))
        return LoginItem::Status::Disabled;
    return LoginItem::Status::Enabled;
}

// One argument of an Exec line: '%' starts a field code, so it is doubled, and an argument with
// a character the launcher's parser reserves goes in double quotes.
QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    static const QString escapedInQuotes = QStringLiteral("\"`$\\");
    QString text = argument;
    text.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return reserved.contains(c); }))
        return text;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : std::as_const(text)) {
        if (escapedInQuotes.contains(c))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QByteArray desktopEntry(const QString& programId, const QString& programPath)
{
    KeyFile file(g_key_file_new());
    // The key file's own escapes (backslash, newline) are added here, over the Exec quoting.
    const auto setString = [&](const char* key, const QString& value) {
        g_key_file_set_string(file.get(), G_KEY_FILE_DESKTOP_GROUP, key,
                              value.toUtf8().constData());
    };
    setString(G_KEY_FILE_DESKTOP_KEY_TYPE, QStringLiteral("Application"));
    setString(G_KEY_FILE_DESKTOP_KEY_NAME, QStringLiteral("Nimbrel"));
    setString(G_KEY_FILE_DESKTOP_KEY_COMMENT,
              QCoreApplication::translate("Nimbrel", "Quits your running apps in one go"));
    setString(G_KEY_FILE_DESKTOP_KEY_ICON, programId);
    setString(G_KEY_FILE_DESKTOP_KEY_EXEC, execArgument(programPath));
    g_key_file_set_boolean(file.get(), G_KEY_FILE_DESKTOP_GROUP, sessionEnabledKey, true);
    g_key_file_set_boolean(file.get(), G_KEY_FILE_DESKTOP_GROUP, markerKey, true);
    gsize length = 0;
    gchar* data = g_key_file_to_data(file.get(), &length, nullptr);
    const QByteArray contents(data, qsizetype(length));
    g_free(data);
    return contents;
}

QString notOurs(const QString& path)
{
    return QStringLiteral("%1 is not Nimbrel's login item; left it alone").arg(path);
}

} // namespace

LoginItem::LoginItem(const QString& programId_, const QString& programPath_)
    : programId(programId_), programPath(programPath_),
      entryPath(autostartDirectory() + QLatin1Char('/') + programId_ + QStringLiteral(".desktop"))
{
}

LoginItem::Status LoginItem::status() const
{
    struct stat link = {};
    if (lstat(QFile::encodeName(entryPath).constData(), &link) != 0)
        return errno == ENOENT || errno == ENOTDIR ? Status::NotRegistered : Status::NotOurs;
    const auto contents = BoundedFile::read(entryPath, largestEntry);
    const QByteArray* text = std::get_if<QByteArray>(&contents);
    return text ? statusOfEntry(*text) : Status::NotOurs;
}

std::optional<QString> LoginItem::registerItem() const
{
    if (!QDir::isAbsolutePath(programPath))
        return QStringLiteral("the program path \"%1\" is not absolute").arg(programPath);
    if (status() == Status::NotOurs)
        return notOurs(entryPath);
    if (!QDir().mkpath(QFileInfo(entryPath).absolutePath()))
        return QStringLiteral("cannot create the folder of %1").arg(entryPath);
    const QByteArray contents = desktopEntry(programId, programPath);
    return writeAtomically(entryPath, contents);
}

std::optional<QString> LoginItem::unregisterItem() const
{
    switch (status()) {
    case Status::NotRegistered:
        return std::nullopt;
    case Status::NotOurs:
        return notOurs(entryPath);
    case Status::Disabled:
    case Status::Enabled:
        break;
    }
    QFile file(entryPath);
    if (!file.remove())
        return QStringLiteral("cannot remove %1: %2").arg(entryPath, file.errorString());
    return std::nullopt;
}
