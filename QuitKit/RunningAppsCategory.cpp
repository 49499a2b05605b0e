#include <glib.h>

#include "DesktopCategories.h"
#include "RunningApps.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include <memory>

namespace
{

struct KeyFileDeleter {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

std::optional<QString> desktopEntryCategory(const QString& path)
{
    std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), QFile::encodeName(path).constData(), G_KEY_FILE_NONE,
                                   nullptr))
        return std::nullopt;
    gsize count = 0;
    gchar** values = g_key_file_get_string_list(file.get(), G_KEY_FILE_DESKTOP_GROUP,
                                                G_KEY_FILE_DESKTOP_KEY_CATEGORIES, &count, nullptr);
    if (!values)
        return std::nullopt;
    QStringList categories;
    for (gsize i = 0; i < count; ++i)
        categories.append(QString::fromUtf8(values[i]));
    g_strfreev(values);
    return DesktopCategories::identifier(categories);
}

// Reads the whole property list so that a file broken after the key still counts as unreadable.
std::optional<QString> infoPlistCategory(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"plist" || !xml.readNextStartElement() ||
        xml.name() != u"dict")
        return std::nullopt;

    std::optional<QString> category;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"key") {
            xml.skipCurrentElement();
            continue;
        }
        const bool wanted = xml.readElementText() == u"LSApplicationCategoryType";
        if (!xml.readNextStartElement())
            break;
        if (wanted)
            category =
                xml.name() == u"string" ? std::optional(xml.readElementText()) : std::nullopt;
        else
            xml.skipCurrentElement();
    }
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return std::nullopt;
    return category;
}

} // namespace

std::optional<QString> RunningApps::category(const QString& location)
{
    const QFileInfo info(location);
    if (info.isDir()) {
        const QFileInfo plist(info.filePath() + QStringLiteral("/Contents/Info.plist"));
        // Only regular files: a pipe or device there would block the snapshot.
        return plist.isFile() ? infoPlistCategory(plist.filePath()) : std::nullopt;
    }
    return info.isFile() ? desktopEntryCategory(info.filePath()) : std::nullopt;
}
