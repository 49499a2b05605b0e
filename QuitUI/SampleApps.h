#pragma once

#include "AppEntry.h"

#include <QList>

// The six made-up apps the tutorial lets the user try the list on. Their pids are invented and
// are never signalled: only a pretending model shows them.
namespace SampleApps
{

const QList<AppEntry>& tutorial();

} // namespace SampleApps
