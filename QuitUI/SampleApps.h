#pragma once

#include "AppEntry.h"

#include <QList>
#include <QString>

#include <optional>

// The six made-up apps the tutorial lets the user try the list on. Their pids are invented and
// are never signalled: only a pretending model shows them.
namespace SampleApps
{

const QList<AppEntry>& tutorial();
/// The icon drawn for a sample (a resource path); nothing for any other app.
std::optional<QString> iconFile(const AppEntry& app);

} // namespace SampleApps
