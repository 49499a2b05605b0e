#include "LoginOnce.h"

#include "LoginItem.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"

#include <QDebug>

void turnOnLoginOnce(SettingsStore& settings, const QString& programId, const LoginItem& loginItem)
{
    if (settings.value(SettingsKeys::loginItemDecided) || programId.endsWith(QLatin1String(".dev")))
        return;
    // Decided before trying: a login item that cannot be written is not retried at every start.
    settings.set(SettingsKeys::loginItemDecided, true);
    if (const auto failure = loginItem.registerItem())
        qWarning().noquote() << "Could not turn on opening at login:" << *failure;
}
