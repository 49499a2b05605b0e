#include "KWinTrayDesktop.h"

#include "DesktopSession.h"
#include "KWinFakeKeyboard.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <linux/input-event-codes.h>

std::optional<QString> KWinTrayDesktop::start()
{
    // The panel's window is told from the program's pid, which KWin names only to programs
    // it trusts; and only those may press keys. The program, trusted as its installed entry
    // makes it, lists and quits the native Wayland apps.
    if (std::optional<QString> problem =
            kwin.start({QCoreApplication::applicationFilePath(), QStringLiteral(NIMBREL_PATH)}))
        return problem;
    // The other app's entry, through which the program can open it again.
    kwin.installDesktopEntry(
        QStringLiteral("nimbrel-closer.desktop"),
        QStringLiteral("[Desktop Entry]\nType=Application\nName=Closer\nExec=") +
            DesktopSession::appCommand(QStringLiteral("closer.py")) + u'\n');
    return std::nullopt;
}

bool KWinTrayDesktop::showsPanel(pid_t program)
{
    // KWin has a layer shell: the panel sits there, not in Plasma's list of windows.
    const QList<ForeignToplevel> windows = kwin.windows();
    return panelIsShownToProgram() &&
           std::none_of(windows.cbegin(), windows.cend(), [&](const ForeignToplevel& window) {
               return window.claimedPid == program;
           });
}

std::optional<int> KWinTrayDesktop::otherWindowCount(pid_t program)
{
    const QList<ForeignToplevel> windows = kwin.windows();
    return int(std::count_if(windows.cbegin(), windows.cend(), [&](const ForeignToplevel& window) {
        return window.claimedPid != program;
    }));
}

std::optional<QString> KWinTrayDesktop::press(Key key)
{
    switch (key) {
    case Key::escape:
        return KWinFakeKeyboard::tap(KEY_ESC);
    case Key::enter:
        return KWinFakeKeyboard::tap(KEY_ENTER);
    case Key::space:
        break;
    }
    return KWinFakeKeyboard::tap(KEY_SPACE);
}

bool KWinTrayDesktop::openAnotherWindow()
{
    QProcess* other = kwin.apps().start(QStringLiteral(NIMBREL_TEST_PYTHON),
                                        {QStringLiteral(NIMBREL_TEST_APPS_DIR "/closer.py")});
    return other &&
           QTest::qWaitFor([&] { return kwin.activePid() == other->processId(); }, showTimeout);
}
