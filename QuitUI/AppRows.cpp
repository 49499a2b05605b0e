#include "AppRows.h"

#include "FormatBytes.h"
#include "QuitModel.h"
#include "ViewText.h"

AppRows::AppRows(QuitModel& model_) : QAbstractListModel(&model_), model(model_)
{
    connect(&model, &QuitModel::appsChanged, this, &AppRows::reset);
    connect(&model, &QuitModel::planChanged, this, &AppRows::updateTicks);
    connect(&model, &QuitModel::figuresChanged, this, &AppRows::updateFigures);
}

int AppRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(model.apps().size());
}

QVariant AppRows::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AppEntry& app = model.apps().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return app.name;
    case PidRole:
        return app.pid;
    case KeyRole:
        return app.key();
    case MemoryRole:
        return double(app.memory);
    case MemoryTextRole:
        return app.memory == 0 ? QString() : formatBytes(app.memory);
    case TickedRole:
        return ticked.value(index.row());
    case TickLabelRole:
        return ViewText::tickLabel(app.name);
    case IconRole:
        return model.iconSource(app.pid);
    }
    return {};
}

QHash<int, QByteArray> AppRows::roleNames() const
{
    return {
        {PidRole, "pid"},
        {NameRole, "name"},
        {KeyRole, "key"},
        {MemoryRole, "memory"},
        {MemoryTextRole, "memoryText"},
        {TickedRole, "ticked"},
        {TickLabelRole, "tickLabel"},
        {IconRole, "icon"},
    };
}

void AppRows::reset()
{
    beginResetModel();
    ticked.clear();
    for (const AppEntry& app : model.apps())
        ticked.append(model.willQuit(app));
    endResetModel();
}

void AppRows::updateTicks()
{
    // Only rows whose tick flipped are announced, so a tap redraws one row, not the list.
    for (int row = 0; row < ticked.size() && row < model.apps().size(); ++row) {
        const bool now = model.willQuit(model.apps().at(row));
        if (now == ticked[row])
            continue;
        ticked[row] = now;
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed, {TickedRole});
    }
}

void AppRows::updateFigures()
{
    if (!ticked.isEmpty())
        emit dataChanged(index(0), index(int(ticked.size()) - 1), {MemoryRole, MemoryTextRole});
}
