#include "StillOpenReason.h"

#include <QCoreApplication>

QString stillOpenReasonText(StillOpenReason reason)
{
    switch (reason) {
    case StillOpenReason::none:
        return {};
    case StillOpenReason::askingToSave:
        return QCoreApplication::translate("QuitKit", "Asking to save");
    case StillOpenReason::notResponding:
        return QCoreApplication::translate("QuitKit", "Not responding");
    case StillOpenReason::cannotBeAsked:
        return QCoreApplication::translate("QuitKit", "Can't be asked to quit");
    }
    Q_UNREACHABLE();
}
