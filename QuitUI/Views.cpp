#include "Views.h"

#include "AppIconProvider.h"
#include "SymbolImageProvider.h"

#include <QIcon>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QQuickWindow>

namespace Views
{

void configure()
{
    if (qEnvironmentVariable("NIMBREL_RENDERER") != QLatin1String("gpu"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // Fusion draws with the palette, so the views follow the theme the program sets.
    QQuickStyle::setStyle(QStringLiteral("Fusion"));
}

void useDesktopIcons()
{
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

void prepare(QQmlEngine& engine)
{
    engine.addImportPath(QStringLiteral("qrc:/qt/qml"));
    engine.addImageProvider(QString::fromLatin1(AppIconProvider::name), new AppIconProvider);
    engine.addImageProvider(QString::fromLatin1(SymbolImageProvider::name),
                            new SymbolImageProvider);
}

} // namespace Views
