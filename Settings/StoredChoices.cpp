#include "StoredChoices.h"

#include "SettingsStore.h"

#include <QStringList>

#include <algorithm>

namespace
{

const QString presetKey = QStringLiteral("QuitPreset");
const QString keepKey = QStringLiteral("QuitKeep");

} // namespace

QuitPreset StoredChoices::preset(const SettingsStore& store)
{
    return QuitPreset::fromRawValue(store.string(presetKey).value_or(QString()))
        .value_or(QuitPreset::everything);
}

void StoredChoices::setPreset(SettingsStore& store, QuitPreset preset)
{
    store.setString(presetKey, preset.rawValue());
}

QSet<QString> StoredChoices::keep(const SettingsStore& store)
{
    const QStringList stored = store.stringList(keepKey);
    return QSet<QString>(stored.begin(), stored.end());
}

void StoredChoices::setKeep(SettingsStore& store, const QSet<QString>& keep)
{
    QStringList sorted(keep.begin(), keep.end());
    std::sort(sorted.begin(), sorted.end());
    store.setStringList(keepKey, sorted);
}
