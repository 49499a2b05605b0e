#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"

#include <QString>

// nimbrelctl's output for people: aligned tables and short summaries.
namespace CtlText
{

// `text` with every control character written as \xHH, so a name cannot move the cursor,
// retitle the terminal or start a line of its own.
QString printable(const QString& text);
// One line per app: memory, pid, name, identifier, category.
QString table(const QList<AppEntry>& apps);
QString plan(const QuitPlan& plan, QuitPreset preset);
QString report(const Quitter::Report& report);

} // namespace CtlText
