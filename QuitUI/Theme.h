#pragma once

#include <QColor>
#include <QDBusConnection>
#include <QDBusVariant>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>

class QJSEngine;
class QQmlEngine;

/// The program's light or dark look and the colours the views draw with.
///
/// The look follows the desktop's colour-scheme preference from the XDG desktop portal, read
/// without waiting and followed as it changes; where the desktop states none it follows the
/// application palette's lightness. Once setDark() chooses, the desktop no longer changes it.
/// `grey` is opaque; a disabled control draws it at `greyOpacity`. The colours keep the WCAG
/// contrasts in both looks: text 4.5:1 on what it is drawn on, controls and edges 3:1 against
/// the window. Needs a QGuiApplication; main thread only.
class Theme : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY changed)
    Q_PROPERTY(QColor windowBackground READ windowBackground NOTIFY changed)
    Q_PROPERTY(QColor primaryText READ primaryText NOTIFY changed)
    Q_PROPERTY(QColor secondaryText READ secondaryText NOTIFY changed)
    Q_PROPERTY(QColor green READ green NOTIFY changed)
    Q_PROPERTY(QColor grey READ grey NOTIFY changed)
    Q_PROPERTY(qreal greyOpacity READ greyOpacity CONSTANT)
    Q_PROPERTY(QColor orange READ orange NOTIFY changed)
    Q_PROPERTY(QColor edge READ edge NOTIFY changed)
    Q_PROPERTY(QColor selection READ selection NOTIFY changed)
    Q_PROPERTY(QColor selectionText READ selectionText NOTIFY changed)

public:
    /// A theme that asks the desktop portal on `bus` for the preference.
    explicit Theme(const QDBusConnection& bus, QObject* parent = nullptr);

    /// The program's one theme, on the session bus; QML shares it and never deletes it.
    static Theme* instance();
    /// The instance QML uses as the `Theme` singleton: instance().
    static Theme* create(QQmlEngine*, QJSEngine*);

    bool dark() const;
    /// Chooses the look for good: the desktop's preference no longer changes it.
    void setDark(bool dark);

    QColor windowBackground() const;
    QColor primaryText() const;
    QColor secondaryText() const;
    QColor green() const;
    QColor grey() const;
    qreal greyOpacity() const { return 0.35; }
    /// The banner's colour.
    QColor orange() const;
    /// The outline of the panel and of controls, so they stand apart from what is behind them.
    QColor edge() const;
    /// The fill of what is chosen: the selected preset, a ticked box.
    QColor selection() const;
    /// Text and tick marks drawn on `selection`.
    QColor selectionText() const;

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void portalSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void readPortal();
    QColor pick(const QColor& light, const QColor& dark) const;
    // Runs `change` and announces the look when it turned.
    template <typename Change> void update(Change change);

    QDBusConnection bus;
    std::optional<bool> chosenDark;
    std::optional<bool> desktopDark; // nothing while the desktop states no preference
    bool desktopChanged = false;     // a change signal came, so the first read is stale
    bool paletteDark = false;
};
