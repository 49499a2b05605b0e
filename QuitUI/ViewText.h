#pragma once

#include "Phase.h"
#include "Quitter.h"

#include <QString>
#include <QStringList>

// The captions and show-or-hide rules of the list and result views, so the views only bind them.
namespace ViewText
{

// The main button's caption: progress while quitting, else what pressing it would do.
QString mainButtonCaption(const Phase& phase, int count, quint64 bytes, bool simulate);
// The main button works only when something is ticked and no quit is running or shown.
bool mainButtonEnabled(const Phase& phase, int count);
// A row's tick box as a screen reader names it.
QString tickLabel(const QString& name);
// The line under the freed amount: "of memory freed — 1 app closed", or with the count.
QString closedCountLine(qsizetype closed);
// The heading of the still-open list, worded for one app or several.
QString stillOpenLine(qsizetype stillOpen);
// The names joined as the user's language lists them ("A, B, and C" in English).
QString joinNames(const QStringList& names);
// The reopen button's caption: "Reopen 1 App", or with the count.
QString reopenCaption(qsizetype count);
// The line naming the closed apps that cannot be started again.
QString notReopenableLine(const QStringList& names);

} // namespace ViewText
