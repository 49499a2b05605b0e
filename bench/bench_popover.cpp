// Times a tray click over 40 real child processes holding 8 GB between them (32 GB too when the
// machine has the memory free): from the click to the panel's first frame (goal: 100 ms); the
// first frame of a panel whose apps' memory is unknown against one whose figures the last pass
// left (goal: at most 1.2x); and how long the exact figures take to arrive in the background
// against a plain synchronous pass over the same processes (goal: at most 1.1x). Prints medians.
#include "ChildProcessWorkspace.h"
#include "FakeMediaCapture.h"
#include "KnownFootprints.h"
#include "NimbrelProgram.h"
#include "OffscreenPanel.h"
#include "ProcKiB.h"
#include "ProcProcessInfo.h"
#include "QuitModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

constexpr int appCount = 40;
constexpr int clicks = 7;
constexpr int rounds = 5;
constexpr quint64 gigabyte = 1ull << 30;

// Whether every child has filled the memory it holds.
bool allFilled(const ProcProcessInfo& processes, const QList<AppEntry>& apps, quint64 totalBytes)
{
    return std::all_of(apps.cbegin(), apps.cend(), [&](const AppEntry& app) {
        return processes.footprint(app.pid).value_or(0) >= totalBytes / appCount * 9 / 10;
    });
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QString verdict(bool met)
{
    return met ? QStringLiteral("goal met") : QStringLiteral("goal missed");
}

// Milliseconds from `clock`'s start until `window` has drawn its first frame, read as it is
// drawn (waiting polls coarsely); nothing after 5 s.
std::optional<double> untilFirstFrame(QQuickWindow& window, const QElapsedTimer& clock)
{
    std::optional<double> drawnAt;
    const QMetaObject::Connection drawn =
        QObject::connect(&window, &QQuickWindow::frameSwapped, [&] {
            if (!drawnAt)
                drawnAt = clock.nsecsElapsed() / 1e6;
        });
    const bool inTime = QTest::qWaitFor([&drawnAt] { return drawnAt.has_value(); }, 5000);
    QObject::disconnect(drawn);
    return inTime ? drawnAt : std::nullopt;
}

// Milliseconds from `clock`'s start until the model's exact figures are in, read as they arrive;
// nothing after a minute.
std::optional<double> untilExact(QuitModel& model, const QElapsedTimer& clock)
{
    std::optional<double> inAt;
    if (!model.measuring())
        return clock.nsecsElapsed() / 1e6;
    const auto arrived = [&] {
        if (!inAt && !model.measuring())
            inAt = clock.nsecsElapsed() / 1e6;
    };
    const QMetaObject::Connection reordered =
        QObject::connect(&model, &QuitModel::appsChanged, arrived);
    const QMetaObject::Connection updated =
        QObject::connect(&model, &QuitModel::figuresChanged, arrived);
    const bool inTime = QTest::qWaitFor([&inAt] { return inAt.has_value(); }, 60000);
    QObject::disconnect(reordered);
    QObject::disconnect(updated);
    return inTime ? inAt : std::nullopt;
}

// The memory the machine can still hand out, in bytes.
quint64 memoryAvailable()
{
    return procKiB(QStringLiteral("/proc/meminfo"), "MemAvailable:") * 1024;
}

struct PanelFigures {
    double toFrame = 0;    // from creating the model and its panel to the first frame
    double toExact = 0;    // from the same start until the exact figures are in
    double listing = 0;    // refreshInBackground() itself: listing and the quick figures
    double background = 0; // from refreshInBackground() until the exact figures are in
    double plainPass = 0;  // refresh(): listing and the synchronous pass, as the panel once did
};

// A panel over its own model whose earlier figures are those `known` holds.
std::optional<PanelFigures> openPanel(NimbrelProgram& program, ChildProcessWorkspace& workspace,
                                      const ProcProcessInfo& processes,
                                      const std::shared_ptr<KnownFootprints>& known)
{
    PanelFigures figures;
    QElapsedTimer clock;
    clock.start();
    auto model = std::make_unique<QuitModel>(workspace, processes, NimbrelProgram::defaults());
    model->setKnownFootprints(known);
    const std::unique_ptr<QQuickView> view = program.tray().panelView(*model);
    view->show();
    const std::optional<double> frame = untilFirstFrame(*view, clock);
    const std::optional<double> exact = untilExact(*model, clock);
    if (!frame || !exact)
        return std::nullopt;
    figures.toFrame = *frame;
    figures.toExact = *exact;

    QElapsedTimer step;
    step.start();
    model->refreshInBackground();
    figures.listing = step.nsecsElapsed() / 1e6;
    const std::optional<double> background = untilExact(*model, step);
    if (!background)
        return std::nullopt;
    figures.background = *background;
    step.restart();
    model->refresh();
    figures.plainPass = step.nsecsElapsed() / 1e6;
    if (model->apps().size() != appCount)
        return std::nullopt;
    return figures;
}

int benchAt(quint64 totalBytes)
{
    ChildProcessWorkspace workspace;
    const ProcProcessInfo processes;
    QList<AppEntry> apps;
    for (int i = 0; i < appCount; ++i)
        apps.append(workspace.launch(QStringLiteral("App %1").arg(i), ForkedChild::OnRequest::Exit,
                                     totalBytes / appCount));
    if (!QTest::qWaitFor([&] { return allFilled(processes, apps, totalBytes); }, 240000)) {
        std::fprintf(stderr, "bench_popover: the children did not fill their memory\n");
        return 1;
    }

    FakeMediaCapture capture;
    NimbrelProgram program(workspace, processes, capture);
    QList<double> toFrame;
    for (int click = 0; click < clicks; ++click) {
        QElapsedTimer clock;
        clock.start();
        program.tray().clicked(QSystemTrayIcon::Trigger);
        PopoverWindow* panel = program.tray().panel();
        const std::optional<double> frame = untilFirstFrame(*panel, clock);
        if (!frame) {
            std::fprintf(stderr, "bench_popover: no frame within 5 s\n");
            return 1;
        }
        toFrame.append(*frame);
        auto* model = panel->rootObject()->property("model").value<QuitModel*>();
        if (!model || model->apps().size() != appCount || model->plan().bytes() < totalBytes / 2) {
            std::fprintf(stderr, "bench_popover: the panel did not list the apps' memory\n");
            return 1;
        }
        if (!untilExact(*model, clock)) {
            std::fprintf(stderr, "bench_popover: no exact figures within a minute\n");
            return 1;
        }
        panel->close();
        QTest::qWait(20);
    }

    QList<double> unknownFrame, knownFrame, toExact, listing, background, plainPass;
    for (int round = 0; round < rounds; ++round) {
        const auto known = std::make_shared<KnownFootprints>();
        const std::optional<PanelFigures> unknown = openPanel(program, workspace, processes, known);
        const std::optional<PanelFigures> again = openPanel(program, workspace, processes, known);
        if (!unknown || !again) {
            std::fprintf(stderr, "bench_popover: a panel did not show the measured apps\n");
            return 1;
        }
        unknownFrame.append(unknown->toFrame);
        knownFrame.append(again->toFrame);
        for (const PanelFigures& figures : {*unknown, *again}) {
            toExact.append(figures.toExact);
            listing.append(figures.listing);
            background.append(figures.background);
            plainPass.append(figures.plainPass);
        }
    }

    std::printf("bench_popover: %d child processes holding %.1f GB, %d clicks, %d rounds\n",
                appCount, totalBytes / double(gigabyte), clicks, rounds);
    const double click = median(toFrame);
    std::printf("%-36s median %7.2f ms   worst %7.2f ms   (goal 100 ms: %s)\n",
                "tray click to first frame", click,
                *std::max_element(toFrame.cbegin(), toFrame.cend()),
                qPrintable(verdict(click <= 100)));
    const double frameRatio = median(unknownFrame) / median(knownFrame);
    std::printf("%-36s median %7.2f ms\n", "first frame, memory unknown", median(unknownFrame));
    std::printf("%-36s median %7.2f ms   %.2fx   (goal 1.2x: %s)\n", "first frame, memory known",
                median(knownFrame), frameRatio, qPrintable(verdict(frameRatio <= 1.2)));
    std::printf("%-36s median %7.2f ms\n", "panel start to exact figures", median(toExact));
    std::printf("%-36s median %7.2f ms\n", "of which listing, quick figures", median(listing));
    // The same work both ways, the list and then every footprint; only where the pass runs
    // differs.
    const double passRatio = median(background) / median(plainPass);
    std::printf("%-36s median %7.2f ms\n", "list to exact figures, background", median(background));
    std::printf("%-36s median %7.2f ms   %.2fx   (goal 1.1x: %s)\n", "list to exact, synchronous",
                median(plainPass), passRatio, qPrintable(verdict(passRatio <= 1.1)));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const auto config = OffscreenPanel::prepare();
    QApplication application(argc, argv);

    if (const int failed = benchAt(8 * gigabyte))
        return failed;
    // The children hold their memory resident; a machine without it free would swap.
    if (memoryAvailable() < 36 * gigabyte) {
        std::printf("bench_popover: 32 GB skipped, only %.1f GB available\n",
                    memoryAvailable() / double(gigabyte));
        return 0;
    }
    return benchAt(32 * gigabyte);
}
