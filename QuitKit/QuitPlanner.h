#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"

#include <QList>
#include <QSet>
#include <QString>

#include <sys/types.h>

// Splits a list of running apps into the ones a preset quits and the ones it keeps.
// Pure functions over fixed tables; safe on any thread.
namespace QuitPlanner
{

// Category identifiers of games, entertainment, social, music, video, sports, news, lifestyle.
const QSet<QString>& distractionCategories();
// App identifiers of known distractions and messengers, as the original platform names them.
const QSet<QString>& distractionApps();
// App identifiers of known call apps and messengers, as the original platform names them.
const QSet<QString>& callApps();
// The desktop-file IDs (Flatpak and distribution packages) of the same distractions on Linux.
const QSet<QString>& linuxDistractionApps();
// The desktop-file IDs (Flatpak and distribution packages) of the same call apps on Linux.
const QSet<QString>& linuxCallApps();

// True for a listed distraction app, a distraction category, or any games sub-category.
bool isDistraction(const AppEntry& app);
// True for a listed call app or a browser web app; never for an app without an identifier.
bool isCallApp(const AppEntry& app);

// Whether `plan` puts `app` among the apps to quit.
bool quits(const AppEntry& app, QuitPreset preset, const QSet<QString>& keep,
           const QSet<pid_t>& inUse);

// Apps whose key is in `keep` stay; otherwise `preset` decides: `everything` quits all, `work`
// quits distractions, `call` keeps call apps and the apps whose pid is in `inUse`.
QuitPlan plan(const QList<AppEntry>& apps, QuitPreset preset, const QSet<QString>& keep,
              const QSet<pid_t>& inUse);

} // namespace QuitPlanner
