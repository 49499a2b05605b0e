#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

/// The program's monochrome symbols (compiled in under ":/symbols/NAME.svg"), tinted to one
/// colour. Names are the files' names without ".svg", e.g. "moon.zzz.fill".
namespace SymbolIcon
{

/// The resource path of symbol `name`.
QString path(const QString& name);
/// Symbol `name` in `colour`, drawn at `pixels`; nothing when it is unknown or cannot be drawn.
std::optional<QImage> image(const QString& name, const QColor& colour, const QSize& pixels);
/// Symbol `name` in `colour` at the usual icon sizes, sharp at twice the scale too; a null
/// icon when it cannot be drawn.
QIcon icon(const QString& name, const QColor& colour);

} // namespace SymbolIcon
