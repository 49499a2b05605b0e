#include "DesktopEntries.h"

#include "BoundedFile.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtGlobal>

#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#pragma pop_macro("signals")

#include <memory>

namespace
{

struct GObjectDeleter {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GDesktopAppInfo, GObjectDeleter>;

// Real entries are a few kilobytes; a larger file is not one.
constexpr qint64 largestEntry = 256 * 1024;

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

QString withoutSuffix(QString id)
{
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    return id;
}

// The applications folders, most important first: $XDG_DATA_HOME, then $XDG_DATA_DIRS.
QStringList applicationFolders()
{
    QStringList folders{text(g_get_user_data_dir()) + QLatin1String("/applications")};
    for (const gchar* const* dir = g_get_system_data_dirs(); *dir; ++dir)
        folders.append(text(*dir) + QLatin1String("/applications"));
    return folders;
}

AppInfo load(const QString& filename)
{
    // GLib's own loader opens files blocking: a FIFO named *.desktop would hang it.
    const auto read = BoundedFile::read(filename, largestEntry);
    const QByteArray* contents = std::get_if<QByteArray>(&read);
    if (!contents)
        return nullptr;
    GKeyFile* keyFile = g_key_file_new();
    AppInfo info;
    if (g_key_file_load_from_data(keyFile, contents->constData(), gsize(contents->size()),
                                  G_KEY_FILE_KEEP_TRANSLATIONS, nullptr))
        info.reset(g_desktop_app_info_new_from_keyfile(keyFile));
    g_key_file_unref(keyFile);
    return info;
}

// Exec split into words, without field codes such as %U.
QStringList commandLine(GDesktopAppInfo* info)
{
    QStringList words;
    const char* exec = g_app_info_get_commandline(G_APP_INFO(info));
    gchar** argv = nullptr;
    if (!exec || !g_shell_parse_argv(exec, nullptr, &argv, nullptr))
        return words;
    for (gchar** word = argv; *word; ++word) {
        if (!QByteArrayView(*word).startsWith('%'))
            words.append(text(*word));
    }
    g_strfreev(argv);
    return words;
}

DesktopEntry entry(GDesktopAppInfo* info, const QString& id, const QString& filename)
{
    DesktopEntry entry;
    entry.id = id;
    entry.name = text(g_app_info_get_name(G_APP_INFO(info)));
    entry.filename = filename;
    entry.startupWmClass = text(g_desktop_app_info_get_startup_wm_class(info));
    entry.commandLine = commandLine(info);
    char* icon = g_desktop_app_info_get_string(info, "Icon");
    entry.icon = text(icon);
    g_free(icon);
    entry.categories =
        text(g_desktop_app_info_get_categories(info)).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    entry.shownInMenus =
        !g_desktop_app_info_get_nodisplay(info) && !g_desktop_app_info_get_is_hidden(info);
    entry.dbusActivatable = g_desktop_app_info_get_boolean(info, "DBusActivatable");
    return entry;
}

// The file with desktop-file ID `id` under `folder`: "a-b-c" is a-b-c.desktop, or a/b-c.desktop
// and so on when such sub-folders exist. stat() never blocks, whatever the file is.
std::optional<QString> fileForId(const QString& folder, const QString& id)
{
    const QString direct = folder + QLatin1Char('/') + id + QLatin1String(".desktop");
    if (QFileInfo(direct).isFile())
        return direct;
    for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0;
         dash = id.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString subfolder = folder + QLatin1Char('/') + id.left(dash);
        if (!QFileInfo(subfolder).isDir())
            continue;
        if (auto found = fileForId(subfolder, id.mid(dash + 1)))
            return found;
    }
    return std::nullopt;
}

// The desktop-file ID a path has under the applications folders: its relative path with "/" as
// "-"; outside them, the file name.
QString idForPath(const QString& filename)
{
    const QString absolute = QFileInfo(filename).absoluteFilePath();
    for (const QString& folder : applicationFolders()) {
        const QString prefix = QFileInfo(folder).absoluteFilePath() + QLatin1Char('/');
        if (absolute.startsWith(prefix))
            return withoutSuffix(
                absolute.mid(prefix.size()).replace(QLatin1Char('/'), QLatin1Char('-')));
    }
    return withoutSuffix(QFileInfo(filename).fileName());
}

} // namespace

std::optional<DesktopEntry> DesktopEntries::byId(const QString& id)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString plainId = withoutSuffix(id);
    for (const QString& folder : applicationFolders()) {
        const std::optional<QString> filename = fileForId(folder, plainId);
        if (!filename)
            continue;
        const AppInfo info = load(*filename);
        if (!info)
            return std::nullopt;
        return entry(info.get(), plainId, *filename);
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::byFilename(const QString& filename)
{
    const AppInfo info = load(filename);
    if (!info)
        return std::nullopt;
    return entry(info.get(), idForPath(filename), filename);
}

QList<DesktopEntries::Location> DesktopEntries::locations()
{
    QList<Location> found;
    QSet<QString> seen;
    for (const QString& folder : applicationFolders()) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (files.hasNext()) {
            const QString filename = files.next();
            const QString id = withoutSuffix(
                filename.mid(folder.size() + 1).replace(QLatin1Char('/'), QLatin1Char('-')));
            if (!seen.contains(id)) {
                seen.insert(id);
                found.append({id, filename});
            }
        }
    }
    return found;
}

QList<DesktopEntry> DesktopEntries::at(const QList<Location>& locations)
{
    QList<DesktopEntry> entries;
    for (const Location& location : locations) {
        const AppInfo info = load(location.filename);
        if (info && !g_desktop_app_info_get_is_hidden(info.get()))
            entries.append(entry(info.get(), location.id, location.filename));
    }
    return entries;
}

bool DesktopEntries::canLaunch(const QString& filename)
{
    // GIO drops entries whose TryExec is missing; a D-Bus activatable one may have no Exec.
    const AppInfo info = load(filename);
    return info && g_app_info_get_commandline(G_APP_INFO(info.get())) != nullptr;
}

bool DesktopEntries::launch(const QString& filename)
{
    const AppInfo info = load(filename);
    if (!info)
        return false;
    // The app starts behind the panel where it honours the launch time: GTK sets a time of 0 as
    // _NET_WM_USER_TIME, which asks the window manager not to focus the window on mapping (an
    // old time of 1 did not keep it back on openbox). An inherited token would raise it instead.
    static int launches = 0;
    const QByteArray startupId =
        QStringLiteral("nimbrel-%1-%2_TIME0").arg(getpid()).arg(++launches).toUtf8();
    GAppLaunchContext* context = g_app_launch_context_new();
    g_app_launch_context_setenv(context, "DESKTOP_STARTUP_ID", startupId.constData());
    g_app_launch_context_unsetenv(context, "XDG_ACTIVATION_TOKEN");
    // Qt's setting for the tray panel's own surface, on while the panel is: not the app's.
    g_app_launch_context_unsetenv(context, "QT_WAYLAND_USE_BYPASSWINDOWMANAGERHINT");
    GError* error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info.get()), nullptr, context, &error);
    if (error) {
        qWarning("cannot start %s: %s", qPrintable(filename), error->message);
        g_error_free(error);
    }
    g_object_unref(context);
    return launched;
}
