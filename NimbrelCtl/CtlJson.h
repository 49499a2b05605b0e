#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"

#include <QJsonArray>
#include <QJsonObject>

// nimbrelctl's JSON documents. Field names are the engine's own; absent values are null, so
// every document of a kind has the same fields.
namespace CtlJson
{

// Whether an app's memory was measured; unmeasured memory is null.
enum Memory { measured, unmeasured };

QJsonObject entry(const AppEntry& app, Memory memory = measured);
QJsonArray entries(const QList<AppEntry>& apps);
QJsonObject plan(const QuitPlan& plan, QuitPreset preset);
QJsonObject report(const Quitter::Report& report);

} // namespace CtlJson
