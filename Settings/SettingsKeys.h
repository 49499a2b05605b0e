#pragma once

#include "SettingsKey.h"

// Every key the program keeps in its settings files. The names are what users' files already
// hold: a renamed key would lose their setting.
namespace SettingsKeys
{

// The preset's raw value: "everything", "work" or "call".
constexpr SettingsKey<QString> quitPreset{"QuitPreset"};
// The kept apps: desktop IDs, or names for apps without one, in plain code-unit order.
constexpr SettingsKey<QStringList> quitKeep{"QuitKeep"};
// The tutorial was closed once; it opens by itself only before that.
constexpr SettingsKey<bool> tutorialSeen{"TutorialSeen"};
// Start at login was turned on once (or tried), so it is never turned on again by itself.
constexpr SettingsKey<bool> loginItemDecided{"LoginItemDecided"};
// When the update feed was last asked, ISO 8601 with milliseconds.
constexpr SettingsKey<QString> lastUpdateCheck{"LastUpdateCheck"};
// The version the user chose to skip; offered again only when asked for.
constexpr SettingsKey<QString> skippedVersion{"SkippedVersion"};
// The first update check of an opted-in build has been counted.
constexpr SettingsKey<bool> firstCheckSent{"corvane.firstCheckSent"};

} // namespace SettingsKeys
