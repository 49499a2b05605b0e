#include "ResultSummary.h"

#include "FormatBytes.h"
#include "ViewText.h"

#include <QVariantMap>

ResultSummary::ResultSummary(const Quitter::Report& report, bool simulate,
                             const IconSource& iconSource)
    : headline(report.headline()), freesMemory(report.freed() != 0),
      freedText(formatBytes(report.freed())),
      closedLine(ViewText::closedCountLine(report.closed.size())),
      showsReopen(ViewText::showsReopen(report, simulate))
{
    QStringList names;
    for (const AppEntry& app : report.closed)
        names.append(app.name);
    closedNames = ViewText::joinNames(names);
    if (!report.stillOpen.isEmpty())
        stillOpenLine = ViewText::stillOpenLine(report.stillOpen.size());
    for (const AppEntry& app : report.stillOpen) {
        stillOpen.append(
            QVariantMap{{QStringLiteral("pid"), app.pid},
                        {QStringLiteral("name"), app.name},
                        {QStringLiteral("icon"), iconSource(app.pid)},
                        {QStringLiteral("reason"), stillOpenReasonText(report.reason(app))}});
    }
}
