#pragma once

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

class QuitModel;

/// The rows of the app list, one per listed app in the model's order, with everything a row
/// shows. Ticks are re-read whenever the plan may have changed, figures whenever they change; the
/// rows themselves are rebuilt only when the list is.
class AppRows : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS

public:
    enum Role {
        PidRole = Qt::UserRole + 1,
        NameRole,
        KeyRole,
        MemoryRole,     // bytes, as a number QML can hold
        MemoryTextRole, // the figure shown; empty when the app was not measured
        TickedRole,
        TickLabelRole, // the tick box's name for screen readers
        IconRole,      // an image URL served by the app icon provider
    };
    Q_ENUM(Role)

    explicit AppRows(QuitModel& model);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    void reset();
    void updateTicks();
    void updateFigures();

    QuitModel& model;
    QList<bool> ticked;
};
