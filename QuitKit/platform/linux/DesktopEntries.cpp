#include "DesktopEntries.h"

#include <QFileInfo>
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

// The desktop-file ID a path has under the applications directories: its relative path with
// "/" as "-"; outside them, the file name.
QString idForPath(const QString& filename)
{
    QStringList dirs{text(g_get_user_data_dir())};
    for (const gchar* const* dir = g_get_system_data_dirs(); *dir; ++dir)
        dirs.append(text(*dir));
    const QString canonical = QFileInfo(filename).absoluteFilePath();
    for (const QString& dir : std::as_const(dirs)) {
        const QString prefix =
            QFileInfo(dir + QLatin1String("/applications")).absoluteFilePath() + QLatin1Char('/');
        if (canonical.startsWith(prefix))
            return canonical.mid(prefix.size()).replace(QLatin1Char('/'), QLatin1Char('-'));
    }
    return QFileInfo(filename).fileName();
}

DesktopEntry entry(GDesktopAppInfo* info)
{
    DesktopEntry entry;
    const QString filename = text(g_desktop_app_info_get_filename(info));
    const char* id = g_app_info_get_id(G_APP_INFO(info));
    entry.id = withoutSuffix(id ? text(id) : idForPath(filename));
    entry.name = text(g_app_info_get_name(G_APP_INFO(info)));
    entry.filename = filename;
    entry.startupWmClass = text(g_desktop_app_info_get_startup_wm_class(info));
    entry.executable = text(g_app_info_get_executable(G_APP_INFO(info)));
    char* icon = g_desktop_app_info_get_string(info, "Icon");
    entry.icon = text(icon);
    g_free(icon);
    return entry;
}

} // namespace

std::optional<DesktopEntry> DesktopEntries::byId(const QString& id)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')))
        return std::nullopt;
    const QByteArray fileId = (withoutSuffix(id) + QLatin1String(".desktop")).toUtf8();
    const AppInfo info(g_desktop_app_info_new(fileId.constData()));
    if (!info)
        return std::nullopt;
    return entry(info.get());
}

std::optional<DesktopEntry> DesktopEntries::byFilename(const QString& filename)
{
    const AppInfo info(
        g_desktop_app_info_new_from_filename(QFile::encodeName(filename).constData()));
    if (!info)
        return std::nullopt;
    return entry(info.get());
}

QList<DesktopEntry> DesktopEntries::all()
{
    QList<DesktopEntry> entries;
    GList* infos = g_app_info_get_all();
    for (GList* item = infos; item; item = item->next) {
        if (G_IS_DESKTOP_APP_INFO(item->data))
            entries.append(entry(G_DESKTOP_APP_INFO(item->data)));
    }
    g_list_free_full(infos, g_object_unref);
    return entries;
}

bool DesktopEntries::launch(const QString& filename)
{
    const AppInfo info(
        g_desktop_app_info_new_from_filename(QFile::encodeName(filename).constData()));
    if (!info)
        return false;
    // The plain context asks for no startup notification, so nothing waits for the app to map.
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    const bool launched = g_app_info_launch(G_APP_INFO(info.get()), nullptr, context, &error);
    if (error) {
        qWarning("cannot start %s: %s", qPrintable(filename), error->message);
        g_error_free(error);
    }
    g_object_unref(context);
    return launched;
}
