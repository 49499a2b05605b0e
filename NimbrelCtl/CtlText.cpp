#include "CtlText.h"

#include "FormatBytes.h"
#include "Localization.h"

#include <QStringList>

#include <algorithm>

namespace
{

const QString none = QStringLiteral("-");

QString column(const QString& text, qsizetype width)
{
    return text.leftJustified(width, QLatin1Char(' '));
}

} // namespace

QString CtlText::printable(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar character : text) {
        if (character.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(character.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += character;
    }
    return shown;
}

QString CtlText::table(const QList<AppEntry>& apps, const QStringList& notes)
{
    if (apps.isEmpty())
        return QStringLiteral("  (none)\n");
    QList<QStringList> rows;
    for (const AppEntry& app : apps) {
        // An app whose process could not be verified has neither a pid nor a memory figure.
        const bool verified = app.pid > 0;
        rows.append(
            {verified ? formatBytes(app.memory) : none, verified ? QString::number(app.pid) : none,
             printable(app.name), printable(app.desktopId.value_or(none)),
             app.categories.isEmpty() ? none : printable(app.categories.join(QLatin1Char(';')))});
        if (!notes.isEmpty())
            rows.last().append(notes.value(rows.size() - 1));
    }
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList& row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
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
        notes.append(inUse.contains(app.pid) ? L("(in use: camera or microphone)") : QString());
    return notes;
}

QString CtlText::plan(const QuitPlan& plan, QuitPreset preset, const QSet<pid_t>& inUse)
{
    QString text = QStringLiteral("Preset: %1\n").arg(preset.title());
    text += QStringLiteral("Quits %1 (frees %2):\n")
                .arg(plan.toQuit.size())
                .arg(formatBytes(plan.bytes()));
    text += table(plan.toQuit, inUseNotes(plan.toQuit, inUse));
    text += QStringLiteral("Keeps %1:\n").arg(plan.kept.size());
    text += table(plan.kept, inUseNotes(plan.kept, inUse));
    return text;
}

QString CtlText::report(const Quitter::Report& report)
{
    QString text = printable(report.headline()) + QLatin1Char('\n');
    if (!report.closed.isEmpty()) {
        text += QStringLiteral("Closed (freed %1):\n").arg(formatBytes(report.freed()));
        text += table(report.closed);
    }
    if (!report.stillOpen.isEmpty()) {
        text += QStringLiteral("Still open (it may be asking you to save, or not responding):\n");
        QStringList reasons;
        for (const AppEntry& app : report.stillOpen)
            reasons.append(stillOpenReasonText(report.reason(app)));
        text += table(report.stillOpen, reasons);
    }
    return text;
}
