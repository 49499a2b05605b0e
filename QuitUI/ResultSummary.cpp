#include "ResultSummary.h"

#include "FormatBytes.h"
#include "TotalMemory.h"
#include "ViewText.h"

#include <QVariantMap>

ResultSummary::ResultSummary(const Quitter::Report& report, bool simulate,
                             const IconSource& iconSource, const CanReopen& canReopen,
                             bool reopened)
    : headline(report.headline()), freesMemory(report.freed() != 0),
      freedText(formatBytes(shownTotalMemory(report.closed))),
      closedLine(ViewText::closedCountLine(report.closed.size()))
{
    QStringList names, notReopenable;
    qsizetype reopenable = 0;
    for (const AppEntry& app : report.closed) {
        names.append(app.name);
        // Sample apps are never started, so nothing is said about starting them.
        if (simulate)
            continue;
        if (canReopen(app))
            ++reopenable;
        else
            notReopenable.append(app.name);
    }
    closedNames = ViewText::joinNames(names);
    showsReopen = reopenable > 0;
    reopenCaption = ViewText::reopenCaption(reopenable);
    reopenEnabled = showsReopen && !reopened;
    if (!notReopenable.isEmpty())
        notReopenableLine = ViewText::notReopenableLine(notReopenable);
    if (!report.stillOpen.isEmpty())
        stillOpenLine = ViewText::stillOpenLine(report.stillOpen.size());
    for (const AppEntry& app : report.stillOpen) {
        stillOpen.append(QVariantMap{
            {QStringLiteral("pid"), app.pid},
            {QStringLiteral("name"), app.name},
            {QStringLiteral("icon"), iconSource(app.pid)},
            {QStringLiteral("reason"), stillOpenReasonText(report.reason(app))},
            {QStringLiteral("offersForceQuit"), offersForceQuit(report.forceQuitState(app))},
            {QStringLiteral("forceQuitNote"), forceQuitStateText(report.forceQuitState(app))}});
    }
}
