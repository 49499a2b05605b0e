#include "WidgetLook.h"

#include "Theme.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

WidgetLook::WidgetLook(const Theme& theme_, QObject* parent) : QObject(parent), theme(theme_)
{
    connect(&theme, &Theme::changed, this, &WidgetLook::apply);
    // Each window takes the look as it is shown; its children inherit it.
    qApp->installEventFilter(this);
    apply();
}

QPalette WidgetLook::palette(const Theme& theme)
{
    const QColor window = theme.windowBackground();
    const QColor text = theme.primaryText();
    const QColor base = theme.dark() ? window.lighter(130) : window.lighter(105);
    const QColor button = theme.dark() ? window.lighter(150) : window.darker(104);
    QPalette palette(button, window);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, button);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::PlaceholderText, theme.secondaryText());
    palette.setColor(QPalette::Highlight, theme.selection());
    palette.setColor(QPalette::HighlightedText, theme.selectionText());
    palette.setColor(QPalette::Link, theme.dark() ? theme.selection() : theme.green());
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, theme.secondaryText());
    return palette;
}

bool WidgetLook::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow())
            widget->setPalette(palette(theme));
    }
    return QObject::eventFilter(watched, event);
}

void WidgetLook::apply()
{
    // Windows only: the application's palette, which the theme falls back on, stays the desktop's.
    const QPalette look = palette(theme);
    for (QWidget* window : QApplication::topLevelWidgets())
        window->setPalette(look);
}
