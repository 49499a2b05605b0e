#pragma once

#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>

/// An app's icon as the desktop states it, for the views to draw: a name in the icon theme, an
/// image file, or the pixels one of its windows carries. Empty when the desktop states none.
struct AppIcon {
    QString themeName;
    QString file;
    /// Rows of non-premultiplied ARGB pixels, `size` wide and high.
    QSize size;
    QList<std::uint32_t> argb;

    static AppIcon named(const QString& name)
    {
        AppIcon icon;
        icon.themeName = name;
        return icon;
    }
    static AppIcon inFile(const QString& path)
    {
        AppIcon icon;
        icon.file = path;
        return icon;
    }

    bool isEmpty() const { return themeName.isEmpty() && file.isEmpty() && argb.isEmpty(); }
};
