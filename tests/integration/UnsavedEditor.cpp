#include "UnsavedEditor.h"

#include "DesktopSession.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace
{

// Standard output of an X tool; empty when it fails or finds nothing.
QString tool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        process.kill();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

UnsavedEditor::UnsavedEditor(DesktopSession& session)
{
    static int started = 0;
    log = session.scratchPath(QStringLiteral("unsaved-%1.log").arg(++started));
    processId =
        session.startApp(QStringLiteral("unsaved.py"), {{"NIMBREL_TEST_LOG", log}})->processId();
}

bool UnsavedEditor::shown() const
{
    return !tool(QStringLiteral("xdotool"),
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
        tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--pid"), QString::number(processId)})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& window : windows) {
        if (!tool(QStringLiteral("xprop"),
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
            if (tool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).trimmed() !=
                shown)
                tool(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), shown});
            return panelClosed();
        },
        timeout);
}
