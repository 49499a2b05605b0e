#pragma once

#include <QString>
#include <QUrl>

// What the build fixed about this program: its identifier, version, update feed and web page.
namespace AppInfo
{

// "dev.corvane.Nimbrel" unless the build chose another; a development build ends in ".dev".
QString identifier();
QString version();
// The update feed; empty when this build checks for no updates.
QUrl feedURL();
// Whether the first successful update check of an installation is counted.
bool countsFirstCheck();
// The product's web page, opened from the Help menu.
QString webPage();

} // namespace AppInfo
