#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>

class QJSEngine;
class QQmlEngine;

/// The views' sizes, relative to the desktop's font. The layout is drawn in points of a body text
/// of 13; one unit is such a point at the desktop's body text size, so a larger desktop font grows
/// the views with it (QT_SCALE_FACTOR scales the pixels underneath as usual). Follows the
/// application font as it changes. Needs a QGuiApplication; main thread only.
class Units : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(qreal unit READ unit NOTIFY changed)
    Q_PROPERTY(qreal spacing READ spacing NOTIFY changed)
    Q_PROPERTY(qreal smallSpacing READ smallSpacing NOTIFY changed)
    Q_PROPERTY(qreal iconSize READ iconSize NOTIFY changed)
    Q_PROPERTY(qreal panelWidth READ panelWidth NOTIFY changed)

public:
    explicit Units(QObject* parent = nullptr);

    /// The program's one instance; QML shares it and never deletes it.
    static Units* instance();
    /// The instance QML uses as the `Units` singleton: instance().
    static Units* create(QQmlEngine*, QJSEngine*);

    /// Pixels per unit.
    qreal unit() const { return pixelsPerUnit; }
    /// `units` in pixels, whole so that edges stay sharp.
    Q_INVOKABLE qreal size(qreal units) const;
    /// The pixel size of text the layout sets at `units`; the body text is 13.
    Q_INVOKABLE int font(qreal units) const;

    /// Between the blocks of a view.
    qreal spacing() const { return size(12); }
    /// Between the parts of one row.
    qreal smallSpacing() const { return size(6); }
    /// An app's icon in a list.
    qreal iconSize() const { return size(24); }
    /// The panel's width; its height follows what it shows.
    qreal panelWidth() const { return size(380); }

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static qreal measured();

    qreal pixelsPerUnit;
};
