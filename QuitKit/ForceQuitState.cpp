#include "ForceQuitState.h"

#include <QCoreApplication>

bool offersForceQuit(ForceQuitState state)
{
    return state == ForceQuitState::possible || state == ForceQuitState::failed;
}

QString forceQuitStateText(ForceQuitState state)
{
    switch (state) {
    case ForceQuitState::possible:
        return {};
    case ForceQuitState::unverified:
        return QCoreApplication::translate(
            "QuitKit", "Can't be force quit: no process of it could be verified");
    case ForceQuitState::otherUser:
        return QCoreApplication::translate("QuitKit",
                                           "Can't be force quit: it runs as another user");
    case ForceQuitState::waiting:
        return QCoreApplication::translate("QuitKit", "Force quit; waiting for it to end");
    case ForceQuitState::failed:
        return QCoreApplication::translate("QuitKit", "Force quit failed; it is still open");
    }
    Q_UNREACHABLE();
}
