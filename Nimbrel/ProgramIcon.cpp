#include "ProgramIcon.h"

#include "AppInfo.h"
#include "SymbolIcon.h"
#include "Theme.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QIcon ProgramIcon::moon()
{
    return moon(Theme::instance()->primaryText());
}

QIcon ProgramIcon::moon(const QColor& colour)
{
    return SymbolIcon::icon(QStringLiteral("moon.zzz.fill"), colour);
}

QString ProgramIcon::symbolicName()
{
    return AppInfo::identifier() + QStringLiteral("-symbolic");
}

QString ProgramIcon::themePath()
{
    // bin/nimbrel beside share/icons, installed or built alike.
    const QDir icons(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/icons"));
    const QString symbolic = QStringLiteral("hicolor/symbolic/apps/%1.svg").arg(symbolicName());
    return QFileInfo::exists(icons.filePath(symbolic)) ? icons.canonicalPath() : QString();
}

QIcon ProgramIcon::application()
{
    return QIcon::fromTheme(AppInfo::identifier(),
                            QIcon(QStringLiteral(":/icons/dev.corvane.Nimbrel.svg")));
}
