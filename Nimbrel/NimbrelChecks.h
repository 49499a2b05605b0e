#pragma once

#include "StartupFlags.h"

#include <QString>
#include <QStringList>

class NimbrelProgram;

/// The self-checks the program runs instead of its usual start when a check flag asks: its
/// menus, its windows and tutorial, pictures of its windows, and what it costs while idle. Each
/// runs on the main thread, waits after a step until what it did has shown (or a generous
/// deadline passes), writes its result and then ends the program's event loop with the check's
/// exit status.
namespace NimbrelChecks
{

/// Starts the check `request` names over `program`, which must outlive it.
void start(const StartupFlags::CheckRequest& request, NimbrelProgram& program);

void menus(const QString& resultFile, NimbrelProgram& program);
void tutorial(const QString& resultFile, NimbrelProgram& program);
/// Creates `directory` first, then writes the six pictures and "report.txt" there.
void snapshots(const QString& directory, NimbrelProgram& program);
void idle(const QString& resultFile, NimbrelProgram& program);

/// Writes the result file (a write error is ignored) and ends with status 1 when anything
/// failed, else 0.
void write(const QStringList& passes, const QStringList& failures, const QString& resultFile);

} // namespace NimbrelChecks
