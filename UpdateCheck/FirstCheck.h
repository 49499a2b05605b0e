#pragma once

#include "UpdaterDelegate.h"

#include <QString>
#include <QVariant>

#include <functional>

class SettingsStore;

// Counting installations: the first update check of an opted-in build carries "first=1" until a
// feed load succeeds.
namespace FirstCheck
{

// The build's information by key; an invalid value when the build does not set the key.
using BuildInformation = std::function<QVariant(const QString& key)>;

// The build's opt-in.
QString infoKey();
// The opt-in, read afresh: only a Boolean true counts.
bool enabled(const BuildInformation& information);
// The parameters for the next feed request.
QList<UpdaterDelegate::Parameter> parameters(const SettingsStore& defaults, bool enabled);
void markSent(SettingsStore& defaults);

} // namespace FirstCheck
