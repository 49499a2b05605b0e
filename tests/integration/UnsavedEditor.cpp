#include "UnsavedEditor.h"

#include "DesktopSession.h"
#include "ToolOutput.h"

#include <QFile>
#include <QProcess>
#include <QTest>

UnsavedEditor::UnsavedEditor(DesktopSession& session)
{
    static int started = 0;
    log = session.scratchPath(QStringLiteral("unsaved-%1.log").arg(++started));
    processId =
        session.startApp(QStringLiteral("unsaved.py"), {{"NIMBREL_TEST_LOG", log}})->processId();
}

bool UnsavedEditor::shown() const
{
    return !toolOutput(QStringLiteral("xdotool"),
                       {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--pid"), QString::number(processId)})
                .isEmpty();
}

bool UnsavedEditor::asked() const
{
    QFile file(log);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("asked");
}

QString UnsavedEditor::question() const
{
    const QStringList windows =
        toolOutput(QStringLiteral("xdotool"),
                   {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--pid"), QString::number(processId)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& window : windows) {
        if (!toolOutput(QStringLiteral("xprop"),
                        {QStringLiteral("-id"), window, QStringLiteral("WM_NAME")})
                 .contains(QStringLiteral("Unsaved Notes")))
            return window;
    }
    return {};
}

bool UnsavedEditor::focusQuestionUntil(const std::function<bool()>& panelClosed, int timeout) const
{
    return QTest::qWaitFor(
        [&] {
            const QString shown = question();
            if (shown.isEmpty())
                return false;
            if (toolOutput(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")})
                    .trimmed() != shown)
                toolOutput(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), shown});
            return panelClosed();
        },
        timeout);
}
