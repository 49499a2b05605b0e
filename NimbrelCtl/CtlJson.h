#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

// nimbrelctl's JSON documents. Field names are the engine's own; absent values are null, so
// every document of a kind has the same fields.
namespace CtlJson
{

// Whether an app's memory was measured; unmeasured memory is null.
enum Memory { measured, unmeasured };

// `inUse`: the pids of the apps using the camera or microphone now.
QJsonObject entry(const AppEntry& app, bool inUse, Memory memory = measured);
QJsonArray entries(const QList<AppEntry>& apps, const QSet<pid_t>& inUse);
QJsonObject plan(const QuitPlan& plan, QuitPreset preset, const QSet<pid_t>& inUse);
QJsonObject report(const Quitter::Report& report, const QSet<pid_t>& inUse);

} // namespace CtlJson
