#include "ConfigHome.h"

#include <QDir>

QString configHome()
{
    // A relative XDG_CONFIG_HOME is invalid by the base-directory rules; it would follow the
    // working directory around.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(config) ? config : QDir::homePath() + QStringLiteral("/.config");
}
