#include "ProgramIcon.h"

#include "SymbolIcon.h"
#include "Theme.h"

QIcon ProgramIcon::moon()
{
    return SymbolIcon::icon(QStringLiteral("moon.zzz.fill"), Theme::instance()->primaryText());
}
