// Opens and closes the tray panel 500 times over 12 listed apps with icons of their own (a
// scripted workspace, drawn off screen), as a user clicking the tray icon all day would, and prints
// how much the program grew: resident memory and the heap's bytes in use after the first open and
// every 100 opens, and the growth per open over the last 400. Growth that levels off is a cache
// filling up to its bound; growth that does not is a leak.
#include "FakeMediaCapture.h"
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "NimbrelProgram.h"
#include "OffscreenPanel.h"
#include "ProcKiB.h"
#include "TestApps.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>
#include <malloc.h>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

constexpr int appCount = 12;
constexpr int opens = 500;

// This process's resident memory in KiB.
qint64 residentKiB()
{
    return qint64(procKiB(QStringLiteral("/proc/self/status"), "VmRSS:"));
}

// The bytes the heap has handed out and not had back, in KiB: unlike resident memory, free
// memory the allocator keeps does not count.
qint64 heapInUseKiB()
{
    return qint64(mallinfo2().uordblks / 1024);
}

} // namespace

int main(int argc, char* argv[])
{
    const auto config = OffscreenPanel::prepare();
    QApplication application(argc, argv);

    FakeWorkspace workspace;
    FakeProcessInfo processes;
    for (int i = 0; i < appCount; ++i) {
        TestApps::addRunning(workspace, processes, 1000 + i, QStringLiteral("App %1").arg(i),
                             QStringLiteral("org.bench.App%1").arg(i), quint64(100 + i) << 20);
        // Each app its own window icon, as X11 apps bring them.
        workspace.windowIcons.insert(
            1000 + i,
            FakeWorkspace::filledIcon(QColor::fromHsv(i * 360 / appCount, 200, 220).rgba()));
    }
    FakeMediaCapture capture;
    NimbrelProgram program(workspace, processes, capture);

    std::printf("bench_panel_growth: %d listed apps, %d panel opens\n", appCount, opens);
    qint64 residentAtHundred = 0;
    qint64 heapAtHundred = 0;
    for (int open = 1; open <= opens; ++open) {
        program.tray().clicked(QSystemTrayIcon::Trigger);
        PopoverWindow* panel = program.tray().panel();
        bool swapped = false;
        const QMetaObject::Connection drawn =
            QObject::connect(panel, &QQuickWindow::frameSwapped, [&swapped] { swapped = true; });
        if (!QTest::qWaitFor([&swapped] { return swapped; }, 5000)) {
            std::fprintf(stderr, "bench_panel_growth: no frame within 5 s\n");
            return 1;
        }
        QObject::disconnect(drawn);
        panel->close();
        // The closed panel is deleted later; its deletion is part of the cycle.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        // The scripted workspace notes every lookup for tests; that list is not the program's.
        workspace.desktopFileLookups.clear();
        if (open == 1 || open % 100 == 0) {
            const qint64 resident = residentKiB();
            const qint64 heap = heapInUseKiB();
            std::printf("%-16s resident %8lld KiB, heap in use %8lld KiB\n",
                        qPrintable(QStringLiteral("after open %1").arg(open)), resident, heap);
            if (open == 100) {
                residentAtHundred = resident;
                heapAtHundred = heap;
            }
        }
    }
    const auto perOpen = [](qint64 fromKiB, qint64 toKiB) {
        return double(toKiB - fromKiB) * 1024 / (opens - 100);
    };
    std::printf("growth from 100 to 500: resident %.0f bytes per open, heap in use %.0f bytes "
                "per open (goal: 0 beyond the caches' bounds)\n",
                perOpen(residentAtHundred, residentKiB()), perOpen(heapAtHundred, heapInUseKiB()));
    return 0;
}
