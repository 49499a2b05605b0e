#pragma once

#include <QString>

// Orders version texts the way update feeds mean them: "1.10" is newer than "1.9", "2.0" equals
// "2.0.0", and a pre-release ("2.0b1", "2.0-rc1") comes before its release.
namespace VersionComparison
{

// Negative when `a` is older than `b`, zero when they are the same version, positive when newer.
int compare(const QString& a, const QString& b);

} // namespace VersionComparison
