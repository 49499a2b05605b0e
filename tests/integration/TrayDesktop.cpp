#include "TrayDesktop.h"

#include "KWinTrayDesktop.h"
#include "MutterTrayDesktop.h"
#include "SwayTrayDesktop.h"

std::unique_ptr<TrayDesktop> TrayDesktop::named(const QString& name)
{
    if (name == QLatin1String("sway"))
        return std::make_unique<SwayTrayDesktop>();
    if (name == QLatin1String("kwin"))
        return std::make_unique<KWinTrayDesktop>();
    if (name == QLatin1String("mutter"))
        return std::make_unique<MutterTrayDesktop>();
    return nullptr;
}
