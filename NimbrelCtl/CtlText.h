#pragma once

#include "AppEntry.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"

#include <QSet>
#include <QString>
#include <QStringList>

// nimbrelctl's output for people: aligned tables and short summaries.
namespace CtlText
{

// One line per app: memory, pid, name, desktop ID, categories, and the app's note when given
// (one per app), with outside text escaped (ShownText::escaped). Columns line up for texts of
// ordinary length; a longer one pushes the rest of its own line only.
QString table(const QList<AppEntry>& apps, const QStringList& notes = {});
// Notes for table(): "(in use: camera or microphone)" for each app whose pid is in `inUse`.
QStringList inUseNotes(const QList<AppEntry>& apps, const QSet<pid_t>& inUse);
QString plan(const QuitPlan& plan, QuitPreset preset, const QSet<pid_t>& inUse);
QString report(const Quitter::Report& report);

} // namespace CtlText
