#pragma once

#include <QQuickImageProvider>

/// Serves the program's symbols to the views tinted, as "image://symbol/NAME?color=COLOUR"
/// (COLOUR as QML writes a colour, e.g. "#1e1e1e"), at the requested size or 24 pixels square.
class SymbolImageProvider : public QQuickImageProvider
{
public:
    static constexpr const char* name = "symbol";

    SymbolImageProvider();

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;
};
