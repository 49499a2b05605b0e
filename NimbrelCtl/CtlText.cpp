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

QString CtlText::table(const QList<AppEntry>& apps)
{
    if (apps.isEmpty())
        return QStringLiteral("  (none)\n");
    QList<QStringList> rows;
    for (const AppEntry& app : apps) {
        // An app whose process could not be verified has neither a pid nor a memory figure.
        const bool verified = app.pid > 0;
        rows.append({verified ? formatBytes(app.memory) : none,
                     verified ? QString::number(app.pid) : none, printable(app.name),
                     printable(app.bundleID.value_or(none)),
                     printable(app.category.value_or(none))});
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

QString CtlText::plan(const QuitPlan& plan, QuitPreset preset)
{
    QString text = QStringLiteral("Preset: %1\n").arg(preset.title());
    text += QStringLiteral("Quits %1 (frees %2):\n")
                .arg(plan.toQuit.size())
                .arg(formatBytes(plan.bytes()));
    text += table(plan.toQuit);
    text += QStringLiteral("Keeps %1:\n").arg(plan.kept.size());
    text += table(plan.kept);
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
        text += table(report.stillOpen);
    }
    return text;
}
