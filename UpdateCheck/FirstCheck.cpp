#include "FirstCheck.h"

#include "SettingsStore.h"

namespace FirstCheck
{

QString key()
{
    return QStringLiteral("corvane.firstCheckSent");
}

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
    if (!enabled || defaults.boolean(key()))
        return {};
    return {{{QStringLiteral("key"), QStringLiteral("first")},
             {QStringLiteral("value"), QStringLiteral("1")}}};
}

void markSent(SettingsStore& defaults)
{
    defaults.setBoolean(key(), true);
}

} // namespace FirstCheck
