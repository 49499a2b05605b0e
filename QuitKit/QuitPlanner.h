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

// Desktop IDs (Flathub and distribution packages) of known distractions and messengers.
const QSet<QString>& distractionApps();
// Desktop IDs (Flathub and distribution packages) of known call apps and messengers.
const QSet<QString>& callApps();

// True for a listed distraction app, or an app whose first deciding category is a distraction.
bool isDistraction(const AppEntry& app);
// True for a listed call app or a browser web app; never for an app without a desktop ID.
bool isCallApp(const AppEntry& app);

// Whether `plan` puts `app` among the apps to quit.
bool quits(const AppEntry& app, QuitPreset preset, const QSet<QString>& keep,
           const QSet<pid_t>& inUse);

// Apps whose key is in `keep` stay; otherwise `preset` decides: `everything` quits all, `work`
// quits distractions, `call` keeps call apps and the apps whose pid is in `inUse`.
QuitPlan plan(const QList<AppEntry>& apps, QuitPreset preset, const QSet<QString>& keep,
              const QSet<pid_t>& inUse);

} // namespace QuitPlanner
