#include "StillOpenReason.h"

#include "Localization.h"

QString stillOpenReasonText(StillOpenReason reason)
{
    switch (reason) {
    case StillOpenReason::none:
        return {};
    case StillOpenReason::askingToSave:
        return L("Asking to save");
    case StillOpenReason::notResponding:
        return L("Not responding");
    case StillOpenReason::cannotBeAsked:
        return L("Can't be asked to quit");
    }
    Q_UNREACHABLE();
}
