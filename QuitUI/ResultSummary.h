#pragma once

#include "Quitter.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <functional>

/// Everything the result view shows of a finished quit, worded and decided here so the view only
/// lays it out. Empty outside the done phase.
class ResultSummary
{
    Q_GADGET
    QML_VALUE_TYPE(resultSummary)
    Q_PROPERTY(QString headline MEMBER headline CONSTANT)
    Q_PROPERTY(bool freesMemory MEMBER freesMemory CONSTANT)
    Q_PROPERTY(QString freedText MEMBER freedText CONSTANT)
    Q_PROPERTY(QString closedLine MEMBER closedLine CONSTANT)
    Q_PROPERTY(QString closedNames MEMBER closedNames CONSTANT)
    Q_PROPERTY(bool showsReopen MEMBER showsReopen CONSTANT)
    Q_PROPERTY(QString stillOpenLine MEMBER stillOpenLine CONSTANT)
    // One {pid, name, icon, reason} map per app still open, in the report's order; the reason
    // worded, empty when none is known.
    Q_PROPERTY(QVariantList stillOpen MEMBER stillOpen CONSTANT)

public:
    using IconSource = std::function<QString(pid_t)>;

    ResultSummary() = default;
    ResultSummary(const Quitter::Report& report, bool simulate, const IconSource& iconSource);

    QString headline;
    bool freesMemory = false;
    QString freedText;
    QString closedLine;
    QString closedNames;
    bool showsReopen = false;
    QString stillOpenLine; // empty when nothing is still open
    QVariantList stillOpen;
};
