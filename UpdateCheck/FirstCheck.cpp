#include "FirstCheck.h"

#include "SettingsKeys.h"
#include "SettingsStore.h"

namespace FirstCheck
{

QString infoKey()
{
    return QStringLiteral("CorvaneCountsFirstCheck");
}

bool enabled(const BuildInformation& information)
{
    const QVariant value = information(infoKey());
    return value.typeId() == QMetaType::Bool && value.toBool();
}

QList<UpdaterDelegate::Parameter> parameters(const SettingsStore& defaults, bool enabled)
{
    if (!enabled || defaults.value(SettingsKeys::firstCheckSent))
        return {};
    return {{{QStringLiteral("key"), QStringLiteral("first")},
             {QStringLiteral("value"), QStringLiteral("1")}}};
}

void markSent(SettingsStore& defaults)
{
    defaults.set(SettingsKeys::firstCheckSent, true);
}

} // namespace FirstCheck
