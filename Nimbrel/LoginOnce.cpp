#include "LoginOnce.h"

#include "LoginItem.h"
#include "SettingsStore.h"

#include <QDebug>

void turnOnLoginOnce(SettingsStore& settings, const QString& programId, const LoginItem& loginItem)
{
    const QString decidedKey = QStringLiteral("LoginItemDecided");
    if (settings.boolean(decidedKey) || programId.endsWith(QLatin1String(".dev")))
        return;
    // Decided before trying: a login item that cannot be written is not retried at every start.
    settings.setBoolean(decidedKey, true);
    if (const auto failure = loginItem.registerItem())
        qWarning().noquote() << "Could not turn on opening at login:" << *failure;
}
