#pragma once

#include "QuitPlan.h"

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

/// What the main button needs of the plan: the keys of the ticked apps, how many there are and
/// what quitting them would free.
class PlanSummary
{
    Q_GADGET
    QML_VALUE_TYPE(planSummary)
    Q_PROPERTY(QStringList keys MEMBER keys CONSTANT)
    Q_PROPERTY(int count MEMBER count CONSTANT)
    Q_PROPERTY(double bytes READ bytesForView CONSTANT)

public:
    PlanSummary() = default;
    explicit PlanSummary(const QuitPlan& plan);

    QStringList keys;
    int count = 0;
    quint64 bytes = 0;

    friend bool operator==(const PlanSummary&, const PlanSummary&) = default;

private:
    // QML numbers are doubles; byte counts stay exact up to 8 PiB.
    double bytesForView() const { return double(bytes); }
};
