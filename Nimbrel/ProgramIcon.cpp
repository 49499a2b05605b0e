#include "ProgramIcon.h"

#include "AppInfo.h"
#include "SymbolIcon.h"
#include "Theme.h"

QIcon ProgramIcon::moon()
{
    return SymbolIcon::icon(QStringLiteral("moon.zzz.fill"), Theme::instance()->primaryText());
}

QIcon ProgramIcon::application()
{
    return QIcon::fromTheme(AppInfo::identifier(),
                            QIcon(QStringLiteral(":/icons/dev.corvane.Nimbrel.svg")));
}
