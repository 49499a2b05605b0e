#include "AppInfo.h"

namespace AppInfo
{

QString identifier()
{
    return QStringLiteral(NIMBREL_APP_ID);
}

QString version()
{
    return QStringLiteral(NIMBREL_VERSION);
}

QUrl feedURL()
{
    return QUrl(QStringLiteral(NIMBREL_FEED_URL));
}

bool countsFirstCheck()
{
    return NIMBREL_COUNTS_FIRST_CHECK;
}

QString webPage()
{
    return QStringLiteral(NIMBREL_WEB_PAGE);
}

} // namespace AppInfo
