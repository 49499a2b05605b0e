#pragma once

#include "QuitPreset.h"

#include <QSet>
#include <QString>

class SettingsStore;

// The preset and the kept apps as the settings store holds them.
namespace StoredChoices
{

// The stored preset; `everything` when none, or any text but an exact raw value, is stored.
QuitPreset preset(const SettingsStore& store);
void setPreset(SettingsStore& store, QuitPreset preset);
// The keys of the kept apps; empty when none are stored.
QSet<QString> keep(const SettingsStore& store);
// Stores the keys in plain code-unit order, so the list is the same whatever the language.
void setKeep(SettingsStore& store, const QSet<QString>& keep);

} // namespace StoredChoices
