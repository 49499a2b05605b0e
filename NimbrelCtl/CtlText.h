#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"

#include <QString>

// nimbrelctl's output for people: aligned tables and short summaries.
namespace CtlText
{

// One line per app: memory, pid, name, identifier, category.
QString table(const QList<AppEntry>& apps);
QString plan(const QuitPlan& plan, QuitPreset preset);
QString report(const Quitter::Report& report);

} // namespace CtlText
