#include "CtlText.h"

#include "FormatBytes.h"
#include "ShownText.h"
#include "TotalMemory.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace
{

const QString none = QStringLiteral("-");
// The widest a column is padded to: one long name does not pad every other line to its width.
constexpr qsizetype maxAlignedWidth = 32;

QString column(const QString& text, qsizetype width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

QString CtlText::table(const QList<AppEntry>& apps, const QStringList& notes)
{
    if (apps.isEmpty())
        return QStringLiteral("  ") + QCoreApplication::translate("NimbrelCtl", "(none)") +
               QLatin1Char('\n');
    QList<QStringList> rows;
    for (const AppEntry& app : apps) {
        // An app whose process could not be verified has neither a pid nor a memory figure.
        const bool verified = app.pid > 0;
        rows.append(
            {verified ? formatBytes(app.memory) : none, verified ? QString::number(app.pid) : none,
             ShownText::escaped(app.name), ShownText::escaped(app.desktopId.value_or(none)),
             app.categories.isEmpty() ? none
                                      : ShownText::escaped(app.categories.join(QLatin1Char(';')))});
        if (!notes.isEmpty())
            rows.last().append(notes.value(rows.size() - 1));
    }
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], std::min(row[i].size(), maxAlignedWidth));
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line = QStringLiteral("  ") + row[0].rightJustified(widths[0]);
        for (qsizetype i = 1; i < row.size(); ++i)
            line += QStringLiteral("  ") + column(row[i], widths[i]);
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

QStringList CtlText::inUseNotes(const QList<AppEntry>& apps, const QSet<pid_t>& inUse)
{
    QStringList notes;
    for (const AppEntry& app : apps)
        notes.append(inUse.contains(app.pid) ? QCoreApplication::translate(
                                                   "NimbrelCtl", "(in use: camera or microphone)")
                                             : QString());
    return notes;
}

QString CtlText::plan(const QuitPlan& plan, QuitPreset preset, const QSet<pid_t>& inUse)
{
    QString text = QCoreApplication::translate("NimbrelCtl", "Preset: %1").arg(preset.title()) +
                   QLatin1Char('\n');
    text += QCoreApplication::translate("NimbrelCtl", "Quits %L1 (frees %2):")
                .arg(plan.toQuit.size())
                .arg(formatBytes(shownTotalMemory(plan.toQuit))) +
            QLatin1Char('\n');
    text += table(plan.toQuit, inUseNotes(plan.toQuit, inUse));
    text += QCoreApplication::translate("NimbrelCtl", "Keeps %L1:").arg(plan.kept.size()) +
            QLatin1Char('\n');
    text += table(plan.kept, inUseNotes(plan.kept, inUse));
    return text;
}

QString CtlText::report(const Quitter::Report& report)
{
    QString text = ShownText::escaped(report.headline()) + QLatin1Char('\n');
    if (!report.closed.isEmpty()) {
        text += QCoreApplication::translate("NimbrelCtl", "Closed (freed %1):")
                    .arg(formatBytes(shownTotalMemory(report.closed))) +
                QLatin1Char('\n');
        text += table(report.closed);
    }
    if (!report.stillOpen.isEmpty()) {
        text += QCoreApplication::translate(
                    "NimbrelCtl", "Still open (it may be asking you to save, or not responding):") +
                QLatin1Char('\n');
        QStringList reasons;
        for (const AppEntry& app : report.stillOpen) {
            QStringList said{stillOpenReasonText(report.reason(app)),
                             forceQuitStateText(report.forceQuitState(app))};
            said.removeAll(QString());
            reasons.append(said.join(QStringLiteral("; ")));
        }
        text += table(report.stillOpen, reasons);
    }
    return text;
}
