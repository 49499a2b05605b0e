#include "StoredChoices.h"

#include "SettingsKeys.h"
#include "SettingsStore.h"

#include <QStringList>

#include <algorithm>

QuitPreset StoredChoices::preset(const SettingsStore& store)
{
    return QuitPreset::fromRawValue(store.value(SettingsKeys::quitPreset).value_or(QString()))
        .value_or(QuitPreset::everything);
}

void StoredChoices::setPreset(SettingsStore& store, QuitPreset preset)
{
    store.set(SettingsKeys::quitPreset, preset.rawValue());
}

QSet<QString> StoredChoices::keep(const SettingsStore& store)
{
    const QStringList stored = store.value(SettingsKeys::quitKeep);
    return QSet<QString>(stored.begin(), stored.end());
}

void StoredChoices::setKeep(SettingsStore& store, const QSet<QString>& keep)
{
    QStringList sorted(keep.begin(), keep.end());
    std::sort(sorted.begin(), sorted.end());
    store.set(SettingsKeys::quitKeep, sorted);
}
