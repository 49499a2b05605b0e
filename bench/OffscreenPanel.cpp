#include "OffscreenPanel.h"

#include "Views.h"

#include <QFile>

#include <cstdio>

namespace
{

// The off-screen platform cannot grab input or raise windows; saying so on every open is noise.
void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && !message.startsWith(u"This plugin does not"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

namespace OffscreenPanel
{

std::unique_ptr<QTemporaryDir> prepare()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    auto config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    Views::configure();
    qInstallMessageHandler(quietOffscreenWarnings);
    return config;
}

} // namespace OffscreenPanel
