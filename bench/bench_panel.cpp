// Times the tray panel over 40 listed apps holding 8 GB between them (a scripted workspace):
// from creating the model and its view to the first frame on screen (goal: 100 ms), and from a
// tap on a row to the next frame (goal: 16 ms). Prints the median and the worst of several runs.
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "PanelView.h"
#include "QuitModel.h"
#include "SettingsStore.h"
#include "TestApps.h"
#include "Views.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <algorithm>
#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

constexpr int appCount = 40;
constexpr quint64 totalBytes = 8ull << 30;
constexpr int runs = 7;

struct Desktop {
    FakeWorkspace workspace;
    FakeProcessInfo processes;

    Desktop()
    {
        // A few large apps and many small ones, as on a real desktop.
        for (int i = 0; i < appCount; ++i) {
            const quint64 share = i < 4 ? totalBytes / 8 : totalBytes / 2 / (appCount - 4);
            TestApps::addRunning(workspace, processes, 1000 + i, QStringLiteral("App %1").arg(i),
                                 QStringLiteral("org.bench.App%1").arg(i), share);
        }
    }
};

// Milliseconds from `start` until `view` has drawn a new frame.
double untilNextFrame(QQuickView& view, const QElapsedTimer& start)
{
    bool swapped = false;
    const QMetaObject::Connection waiting =
        QObject::connect(&view, &QQuickWindow::frameSwapped, [&swapped] { swapped = true; });
    if (!QTest::qWaitFor([&swapped] { return swapped; }, 5000))
        std::fprintf(stderr, "bench_panel: no frame within 5 s\n");
    QObject::disconnect(waiting);
    return start.nsecsElapsed() / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void print(const char* what, const QList<double>& values, double goal)
{
    std::printf("%-28s median %7.2f ms   worst %7.2f ms   (goal %g ms)\n", what, median(values),
                *std::max_element(values.begin(), values.end()), goal);
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Views::configure();
    QGuiApplication application(argc, argv);
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    SettingsStore store = SettingsStore::standard();
    Desktop desktop;
    QQmlEngine engine;
    Views::prepare(engine);

    QList<double> firstFrame;
    QList<double> tapToFrame;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        auto model = std::make_unique<QuitModel>(desktop.workspace, desktop.processes, store);
        QQuickView view(&engine, nullptr);
        PanelView::load(view, *model, nullptr);
        PanelView::fitToContent(view);
        view.show();
        firstFrame.append(untilNextFrame(view, clock));
        if (model->apps().size() != appCount) {
            std::fprintf(stderr, "bench_panel: the panel listed %lld apps\n",
                         qint64(model->apps().size()));
            return 1;
        }

        // The first row sits just above the middle of the list.
        QTest::qWait(20);
        clock.restart();
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(190, 175));
        tapToFrame.append(untilNextFrame(view, clock));
    }
    std::printf("bench_panel: %d apps, %.1f GB, %d runs (the first one loads the QML)\n", appCount,
                totalBytes / double(1ull << 30), runs);
    print("create to first frame", firstFrame, 100);
    print("row tap to next frame", tapToFrame, 16);
    return 0;
}
