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
    Q_PROPERTY(QString reopenCaption MEMBER reopenCaption CONSTANT)
    Q_PROPERTY(bool reopenEnabled MEMBER reopenEnabled CONSTANT)
    Q_PROPERTY(QString notReopenableLine MEMBER notReopenableLine CONSTANT)
    Q_PROPERTY(QString stillOpenLine MEMBER stillOpenLine CONSTANT)
    // One {pid, name, icon, reason, offersForceQuit, forceQuitNote} map per app still open, in
    // the report's order; the reason and the note worded, empty when there is nothing to say.
    Q_PROPERTY(QVariantList stillOpen MEMBER stillOpen CONSTANT)

public:
    using IconSource = std::function<QString(pid_t)>;
    using CanReopen = std::function<bool(const AppEntry&)>;

    ResultSummary() = default;
    // `reopened`: the closed apps were started again already, so the button is off.
    ResultSummary(const Quitter::Report& report, bool simulate, const IconSource& iconSource,
                  const CanReopen& canReopen, bool reopened);

    QString headline;
    bool freesMemory = false;
    QString freedText;
    QString closedLine;
    QString closedNames;
    bool showsReopen = false; // some closed app can be started again
    QString reopenCaption;
    bool reopenEnabled = false;
    QString notReopenableLine; // empty when every closed app can be reopened, or in sample mode
    QString stillOpenLine;     // empty when nothing is still open
    QVariantList stillOpen;
};
