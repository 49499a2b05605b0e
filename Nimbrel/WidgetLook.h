#pragma once

#include <QObject>
#include <QPalette>

class Theme;

/// Keeps the program's widgets (the status menu, dialogs and alerts, the program window's menu
/// bar) in the panel's light or dark look, switching as the theme turns. Each window takes the
/// palette as it is shown: the application's own palette, which the theme reads the desktop's
/// look from where the desktop states none, stays the desktop's. Needs a QApplication; main
/// thread only.
class WidgetLook : public QObject
{
    Q_OBJECT

public:
    /// Applies `theme`'s look now and at each change; `theme` must outlive this.
    explicit WidgetLook(const Theme& theme, QObject* parent = nullptr);

    /// The widgets' palette in `theme`'s current look.
    static QPalette palette(const Theme& theme);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();

    const Theme& theme;
};
