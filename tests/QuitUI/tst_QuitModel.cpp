#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "GenericAppIcon.h"
#include "QuitModel.h"
#include "SampleApps.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestApps.h"
#include "TestFiles.h"

#include <QCoroTask>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

using Report = Quitter::Report;
using TestApps::entry;
using TestApps::pids;

namespace
{

const QString suiteName = QStringLiteral("model");

AppIcon solid(Qt::GlobalColor color)
{
    return FakeWorkspace::filledIcon(QColor(color).rgba());
}

// The middle of the icon for apps that state none, drawn at the list's size.
QColor genericColor()
{
    QPixmap canvas(32, 32);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    GenericAppIcon::icon().paint(&painter, canvas.rect());
    painter.end();
    return canvas.toImage().pixelColor(16, 16);
}

} // namespace

namespace QTest
{
template <> char* toString(const Phase& phase)
{
    switch (phase.kind()) {
    case Phase::Ready:
        return qstrdup("ready");
    case Phase::Quitting:
        return qstrdup(
            qPrintable(QStringLiteral("quitting %1 of %2").arg(phase.closed()).arg(phase.of())));
    case Phase::Done:
        return qstrdup(qPrintable(QStringLiteral("done, %1 closed, %2 still open")
                                      .arg(phase.report()->closed.size())
                                      .arg(phase.report()->stillOpen.size())));
    }
    return nullptr;
}
} // namespace QTest

class tst_QuitModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void settingsReadAtCreation_data();
    void settingsReadAtCreation();
    void keptAppsStoredInPlainOrder_data();
    void keptAppsStoredInPlainOrder();
    void appWithoutIdentifierKeptByName();
    void unreadChoicesTickNothing_data();
    void unreadChoicesTickNothing();
    void unsavedChoicesSaySo();
    void presetStoredOnEveryAssignment();
    void emptyPlanLeavesReady();
    void pretendQuit();
    void realQuitReportsAndKeepsFigures();
    void forceQuitCountsAppAsClosedOnlyOnceItEnds_data();
    void forceQuitCountsAppAsClosedOnlyOnceItEnds();
    void forceQuitOutsideDoneOnlyAsks();
    void refreshKeepsOnlyDone_data();
    void refreshKeepsOnlyDone();
    void fixedAppsNeverMeasured();
    void exactFiguresFollowQuickOnes_data();
    void exactFiguresFollowQuickOnes();
    void knownFiguresOnlyForTheSameProcesses();
    void stoppedOrQuitWhileMeasuring();
    void icons_data();
    void icons();
    void iconLookedUpOncePerPid();
    void samplesHaveTheirOwnIcons();
    void reopenSkipsAppsWithoutLocation();
    void reopenOffersOnlyStartableAppsOnce();
    void modelDroppedDuringRealQuit();
    void modelDroppedDuringPretendQuit();

private:
    std::unique_ptr<QuitModel> makeModel();
    void addSlowApps();
    void recordPhases(QuitModel& model);

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<FakeWorkspace> workspace;
    std::unique_ptr<FakeProcessInfo> processes;
    std::shared_ptr<QList<Phase>> phases;
};

void tst_QuitModel::init()
{
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    store = std::make_unique<SettingsStore>(*SettingsStore::suite(suiteName));
    workspace = std::make_unique<FakeWorkspace>();
    processes = std::make_unique<FakeProcessInfo>();
    phases = std::make_shared<QList<Phase>>();
}

void tst_QuitModel::cleanup()
{
    store.reset();
    config.reset();
}

std::unique_ptr<QuitModel> tst_QuitModel::makeModel()
{
    return std::make_unique<QuitModel>(*workspace, *processes, *store);
}

void tst_QuitModel::settingsReadAtCreation_data()
{
    QTest::addColumn<QVariant>("storedPreset");
    QTest::addColumn<QStringList>("storedKeep");
    QTest::addColumn<QuitPreset>("preset");
    QTest::newRow("fresh store") << QVariant() << QStringList()
                                 << QuitPreset(QuitPreset::everything);
    QTest::newRow("call") << QVariant("call") << QStringList() << QuitPreset(QuitPreset::call);
    QTest::newRow("work") << QVariant("work") << QStringList() << QuitPreset(QuitPreset::work);
    QTest::newRow("capital letter")
        << QVariant("Call") << QStringList() << QuitPreset(QuitPreset::everything);
    QTest::newRow("unknown, with kept apps") << QVariant("nothing") << QStringList{"com.c", "com.b"}
                                             << QuitPreset(QuitPreset::everything);
}

void tst_QuitModel::settingsReadAtCreation()
{
    QFETCH(QVariant, storedPreset);
    QFETCH(QStringList, storedKeep);
    QFETCH(QuitPreset, preset);
    if (storedPreset.isValid())
        store->set(SettingsKeys::quitPreset, storedPreset.toString());
    if (!storedKeep.isEmpty())
        store->set(SettingsKeys::quitKeep, storedKeep);
    const QString fileBefore = QFile::exists(store->path()) ? store->path() : QString();

    const auto model = makeModel();
    QCOMPARE(model->preset(), preset);
    QCOMPARE(model->keep(), QSet<QString>(storedKeep.begin(), storedKeep.end()));
    QCOMPARE(model->phase(), Phase::ready());
    QVERIFY(model->apps().isEmpty());
    // Reading writes nothing back: a fresh store stays without a file.
    QCOMPARE(QFile::exists(store->path()), !fileBefore.isEmpty());
}

void tst_QuitModel::keptAppsStoredInPlainOrder_data()
{
    QTest::addColumn<QStringList>("untick");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("in order") << QStringList{"com.b", "com.c"} << QStringList{"com.b", "com.c"};
    QTest::newRow("reversed") << QStringList{"com.c", "com.b"} << QStringList{"com.b", "com.c"};
    QTest::newRow("capitals first, not by language")
        << QStringList{"apple", "Zed"} << QStringList{"Zed", "apple"};
}

void tst_QuitModel::keptAppsStoredInPlainOrder()
{
    QFETCH(QStringList, untick);
    QFETCH(QStringList, stored);
    const auto model = makeModel();
    QSignalSpy keepChanged(model.get(), &QuitModel::keepChanged);
    for (int i = 0; i < untick.size(); ++i)
        model->setWillQuit(entry(100 + i, "App", untick[i]), false);
    QCOMPARE(keepChanged.count(), untick.size());
    QCOMPARE(SettingsStore::suite(suiteName)->value(SettingsKeys::quitKeep), stored);
    QCOMPARE(model->property("keep").toStringList(), stored);

    model->setWillQuit(entry(100, "App", untick[0]), true);
    stored.removeOne(untick[0]);
    QCOMPARE(SettingsStore::suite(suiteName)->value(SettingsKeys::quitKeep), stored);
    QCOMPARE(makeModel()->keep(), QSet<QString>(stored.begin(), stored.end()));
}

void tst_QuitModel::appWithoutIdentifierKeptByName()
{
    const QList<AppEntry> apps{entry(1, "Sketchpad"), entry(2, "Other", "com.other")};
    const auto model = makeModel();
    model->setFixedApps(apps);
    model->refresh();
    QVERIFY(model->willQuit(apps[0]));
    model->setWillQuit(apps[0], false);
    QCOMPARE(model->keep(), QSet<QString>{"Sketchpad"});
    QVERIFY(!model->willQuit(apps[0]));
    QVERIFY(model->willQuit(apps[1]));
    QCOMPARE(model->plan().toQuit, QList<AppEntry>{apps[1]});
}

void tst_QuitModel::unreadChoicesTickNothing_data()
{
    QTest::addColumn<bool>("folderInItsPlace"); // else a file too large to be ours
    QTest::newRow("damaged") << false;
    QTest::newRow("cannot be read") << true;
}

// The kept apps are unknown, so the panel must not fall back to quitting everything.
void tst_QuitModel::unreadChoicesTickNothing()
{
    QFETCH(bool, folderInItsPlace);
    const QString path = store->path();
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    if (folderInItsPlace)
        QVERIFY(QDir().mkpath(path));
    else
        QVERIFY(TestFiles::writeFile(path, QByteArray(2 * 1024 * 1024, '#')));
    store = std::make_unique<SettingsStore>(*SettingsStore::suite(suiteName));
    const QList<AppEntry> apps{entry(1, "Mail", "com.mail"), entry(2, "Sketchpad")};
    const auto model = makeModel();
    model->setFixedApps(apps);
    model->refresh();
    QVERIFY(model->choicesUnread());
    QVERIFY2(model->choicesProblem().contains(path), qPrintable(model->choicesProblem()));
    QVERIFY(model->plan().toQuit.isEmpty());
    QVERIFY(!model->mainButtonEnabled());

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Settings file"));
    model->setWillQuit(apps[1], true);
    QCOMPARE(model->plan().toQuit, QList<AppEntry>{apps[1]});
    model->setWillQuit(apps[1], false);
    QVERIFY(model->plan().toQuit.isEmpty());
}

void tst_QuitModel::unsavedChoicesSaySo()
{
    const auto model = makeModel();
    QCOMPARE(model->choicesProblem(), QString());
    // A file where the settings folder belongs: nothing can be saved, even by root.
    QVERIFY(TestFiles::writeFile(QFileInfo(store->path()).absolutePath(), "in the way"));
    QSignalSpy problemChanged(model.get(), &QuitModel::choicesProblemChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Settings file .* cannot be created"));
    model->setPreset(QuitPreset::work);
    QCOMPARE(problemChanged.count(), 1);
    QVERIFY2(model->choicesProblem().startsWith("Your choices could not be saved"),
             qPrintable(model->choicesProblem()));
    QCOMPARE(model->preset(), QuitPreset(QuitPreset::work));

    QVERIFY(QFile::remove(QFileInfo(store->path()).absolutePath()));
    model->setPreset(QuitPreset::call);
    QCOMPARE(model->choicesProblem(), QString());
}

void tst_QuitModel::presetStoredOnEveryAssignment()
{
    const auto model = makeModel();
    QSignalSpy presetChanged(model.get(), &QuitModel::presetChanged);
    model->setPreset(QuitPreset::call);
    QCOMPARE(SettingsStore::suite(suiteName)->value(SettingsKeys::quitPreset), "call");

    // Someone else changes the file; assigning the unchanged preset still stores it.
    SettingsStore::suite(suiteName)->set(SettingsKeys::quitPreset, "work");
    model->setPreset(QuitPreset::call);
    QCOMPARE(SettingsStore::suite(suiteName)->value(SettingsKeys::quitPreset), "call");
    QCOMPARE(presetChanged.count(), 2);
    QCOMPARE(makeModel()->preset(), QuitPreset(QuitPreset::call));
}

void tst_QuitModel::emptyPlanLeavesReady()
{
    const auto model = makeModel();
    model->refresh();
    QSignalSpy phaseChanged(model.get(), &QuitModel::phaseChanged);
    QCoro::waitFor(model->quitAll());
    QCOMPARE(phaseChanged.count(), 0);
    QCOMPARE(model->phase(), Phase::ready());
    QVERIFY(workspace->quitRequests.isEmpty());
}

void tst_QuitModel::recordPhases(QuitModel& model)
{
    phases->clear();
    connect(&model, &QuitModel::phaseChanged, this,
            [recorded = phases, &model] { recorded->append(model.phase()); });
}

void tst_QuitModel::pretendQuit()
{
    QList<AppEntry> sample;
    for (int i = 1; i <= 6; ++i)
        sample.append(entry(9000 + i, QStringLiteral("Sample %1").arg(i), std::nullopt, i));
    TestApps::addRunning(*workspace, *processes, 9001, "Real app with a sample's pid", "com.real",
                         5);
    const auto model = makeModel();
    model->setFixedApps(sample);
    model->setSimulate(true);
    model->refresh();
    recordPhases(*model);

    QElapsedTimer clock;
    clock.start();
    QCoro::waitFor(model->quitAll());
    // Coarse timers may fire a little early, so only a lower bound holds.
    QVERIFY(clock.elapsed() >= 6 * 120);

    QList<Phase> expected;
    for (int closed = 0; closed <= 6; ++closed)
        expected.append(Phase::quitting(closed, 6));
    expected.append(Phase::done(Report{sample, {}}));
    QCOMPARE(*phases, expected);
    QVERIFY(workspace->quitRequests.isEmpty());
    QCOMPARE(workspace->observersAdded, 0);
    QCOMPARE(model->apps(), sample);
}

void tst_QuitModel::realQuitReportsAndKeepsFigures()
{
    TestApps::addRunning(*workspace, *processes, 101, "Big", "com.big", 3000);
    TestApps::addRunning(*workspace, *processes, 102, "Stubborn", "com.stubborn", 2000);
    TestApps::addRunning(*workspace, *processes, 103, "Kept", "com.kept", 1000);
    const auto model = makeModel();
    model->setQuitTimeout(0.05);
    model->refresh();
    const QList<AppEntry> measured = model->apps();
    QCOMPARE(measured.size(), 3);
    model->setWillQuit(measured[2], false);

    workspace->onQuitRequest = [this](pid_t pid) {
        if (pid != 101)
            return;
        workspace->endApp(pid);
        TestApps::addRunning(*workspace, *processes, 104, "Newcomer", "com.new", 500);
    };
    workspace->stillOpenReasons.insert(102, StillOpenReason::notResponding);
    // A later measurement would differ; the list after the quit must reuse the earlier figure.
    processes->add(102, {.footprint = 7777});
    const int readsBefore = processes->footprintReads;
    recordPhases(*model);
    QCoro::waitFor(model->quitAll());

    const Report report{
        {measured[0]}, {measured[1]}, false, {{102, StillOpenReason::notResponding}}};
    QCOMPARE(*phases,
             (QList<Phase>{Phase::quitting(0, 2), Phase::quitting(1, 2), Phase::done(report)}));
    QCOMPARE(workspace->quitRequests, (QList<pid_t>{101, 102}));
    QCOMPARE(processes->footprintReads, readsBefore);
    QMap<pid_t, quint64> memory;
    for (const AppEntry& app : model->apps())
        memory.insert(app.pid, app.memory);
    QCOMPARE(memory, (QMap<pid_t, quint64>{{102, 2000}, {103, 1000}, {104, 0}}));
    QCOMPARE(model->phase(), Phase::done(report));
    QCOMPARE(model->resultSummary().stillOpen.first().toMap().value(QStringLiteral("reason")),
             QStringLiteral("Not responding"));
}

void tst_QuitModel::forceQuitCountsAppAsClosedOnlyOnceItEnds_data()
{
    QTest::addColumn<ForceQuitState>("before");
    QTest::addColumn<bool>("killed");
    QTest::addColumn<bool>("endsAtOnce");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<ForceQuitState>("after");
    QTest::newRow("killed, ends at once")
        << ForceQuitState::possible << true << true << true << ForceQuitState::possible;
    QTest::newRow("killed, ends later")
        << ForceQuitState::possible << true << false << true << ForceQuitState::waiting;
    QTest::newRow("kill refused") << ForceQuitState::possible << false << false << true
                                  << ForceQuitState::failed;
    QTest::newRow("unverified window")
        << ForceQuitState::unverified << true << false << false << ForceQuitState::unverified;
    QTest::newRow("another user's process")
        << ForceQuitState::otherUser << true << false << false << ForceQuitState::otherUser;
}

void tst_QuitModel::forceQuitCountsAppAsClosedOnlyOnceItEnds()
{
    QFETCH(ForceQuitState, before);
    QFETCH(bool, killed);
    QFETCH(bool, endsAtOnce);
    QFETCH(bool, asked);
    QFETCH(ForceQuitState, after);
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 3000);
    TestApps::addRunning(*workspace, *processes, 102, "Beta", "com.beta", 2000);
    const auto model = makeModel();
    model->setQuitTimeout(0.05);
    model->refresh();
    const QList<AppEntry> measured = model->apps();
    workspace->onQuitRequest = [this](pid_t pid) {
        if (pid == 102)
            workspace->endApp(pid);
    };
    workspace->stillOpenReasons[101] = StillOpenReason::notResponding;
    workspace->forceQuitStates[101] = before;
    QCoro::waitFor(model->quitAll());
    const Report stuck{{measured[1]},
                       {measured[0]},
                       false,
                       {{101, StillOpenReason::notResponding}},
                       before == ForceQuitState::possible
                           ? QHash<pid_t, ForceQuitState>{}
                           : QHash<pid_t, ForceQuitState>{{101, before}}};
    QCOMPARE(model->phase(), Phase::done(stuck));
    QCOMPARE(model->resultSummary().stillOpen.first().toMap().value("offersForceQuit").toBool(),
             before == ForceQuitState::possible);

    workspace->forceQuitResult = killed;
    workspace->forceQuitEndsApp = endsAtOnce;
    model->forceQuit(measured[0]);
    QCOMPARE(workspace->forceQuitRequests, asked ? QList<pid_t>{101} : QList<pid_t>{});
    // Closed, and so no longer said to be not responding, only once it has ended.
    const Report closed{{measured[1], measured[0]}, {}};
    if (endsAtOnce) {
        QCOMPARE(model->phase(), Phase::done(closed));
        QCOMPARE(model->phase().report()->freed(), measured[1].memory + measured[0].memory);
        return;
    }
    Report open = stuck;
    open.forceQuitStates.insert(101, after);
    QCOMPARE(model->phase(), Phase::done(open));
    QCOMPARE(model->phase().report()->freed(), measured[1].memory);
    QCOMPARE(model->resultSummary().stillOpen.first().toMap().value("forceQuitNote").toString(),
             forceQuitStateText(after));

    // An app still open that ends, by the kill or on its own, counts as closed then.
    workspace->endApp(101);
    QCOMPARE(model->phase(), Phase::done(closed));
    // Two apps under 1 MB each: each row shows "1 MB".
    QCOMPARE(model->resultSummary().freedText, QStringLiteral("2 MB"));
}

void tst_QuitModel::forceQuitOutsideDoneOnlyAsks()
{
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 3000);
    const auto model = makeModel();
    model->refresh();
    QSignalSpy phaseChanged(model.get(), &QuitModel::phaseChanged);
    model->forceQuit(model->apps().first());
    QCOMPARE(workspace->forceQuitRequests, QList<pid_t>{101});
    QCOMPARE(phaseChanged.count(), 0);
    QCOMPARE(model->phase(), Phase::ready());
}

void tst_QuitModel::refreshKeepsOnlyDone_data()
{
    QTest::addColumn<Phase>("before");
    QTest::addColumn<Phase>("after");
    const Phase done = Phase::done(Report{{entry(7, "Closed")}, {}});
    QTest::newRow("ready") << Phase::ready() << Phase::ready();
    QTest::newRow("quitting") << Phase::quitting(1, 3) << Phase::ready();
    QTest::newRow("done") << done << done;
}

void tst_QuitModel::refreshKeepsOnlyDone()
{
    QFETCH(Phase, before);
    QFETCH(Phase, after);
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 3000);
    const auto model = makeModel();
    model->setPhase(before);
    model->refresh();
    QCOMPARE(model->phase(), after);
    QCOMPARE(model->apps(), QList<AppEntry>{entry(101, "Alpha", "com.alpha", 3000)});
}

void tst_QuitModel::fixedAppsNeverMeasured()
{
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 3000);
    const QList<AppEntry> sample{entry(1, "Sample", "com.sample", 42)};
    const auto model = makeModel();
    model->setFixedApps(sample);
    model->refresh();
    model->refresh();
    QCOMPARE(model->apps(), sample);
    QCOMPARE(processes->footprintReads, 0);
    QCOMPARE(workspace->runningApplicationsCalls, 0);
}

// Three apps whose quick figures put them in the opposite order to their exact ones, one with a
// helper process, each footprint taking long to read.
void tst_QuitModel::addSlowApps()
{
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 0);
    TestApps::addRunning(*workspace, *processes, 102, "Beta", "com.beta", 0);
    TestApps::addRunning(*workspace, *processes, 103, "Gamma", "com.gamma", 0);
    processes->add(101, {.startTime = 10, .footprint = 1000, .estimate = 6000});
    processes->add(102, {.startTime = 20, .footprint = 3000, .estimate = 4000});
    processes->add(202, {.parent = 102, .startTime = 21, .footprint = 1000, .estimate = 500});
    processes->add(103, {.startTime = 30, .footprint = 5000, .estimate = 2000});
    processes->footprintDelay = std::chrono::milliseconds(120);
}

namespace
{

QList<quint64> figures(const QList<AppEntry>& apps)
{
    QList<quint64> memory;
    for (const AppEntry& app : apps)
        memory.append(app.memory);
    return memory;
}

} // namespace

void tst_QuitModel::exactFiguresFollowQuickOnes_data()
{
    using Touch = std::function<void(QuitModel&)>;
    QTest::addColumn<Touch>("touch");
    QTest::addColumn<QList<pid_t>>("order");
    QTest::addColumn<QList<quint64>>("exact");
    QTest::newRow("untouched: largest first again")
        << Touch([](QuitModel&) {}) << QList<pid_t>{103, 102, 101}
        << QList<quint64>{5000, 4000, 1000};
    QTest::newRow("touched: order kept")
        << Touch([](QuitModel& model) { model.touched(); }) << QList<pid_t>{101, 102, 103}
        << QList<quint64>{1000, 4000, 5000};
    QTest::newRow("ticked: order kept")
        << Touch([](QuitModel& model) { model.setWillQuit(model.apps().last(), true); })
        << QList<pid_t>{101, 102, 103} << QList<quint64>{1000, 4000, 5000};
}

void tst_QuitModel::exactFiguresFollowQuickOnes()
{
    QFETCH(std::function<void(QuitModel&)>, touch);
    QFETCH(QList<pid_t>, order);
    QFETCH(QList<quint64>, exact);
    addSlowApps();
    const auto model = makeModel();
    QSignalSpy resets(model->rows(), &QAbstractItemModel::modelReset);

    model->refreshInBackground();
    QCOMPARE(pids(model->apps()), (QList<pid_t>{101, 102, 103}));
    QCOMPARE(figures(model->apps()), (QList<quint64>{6000, 4500, 2000}));
    QVERIFY(model->measuring());
    touch(*model);
    resets.clear();

    QTRY_VERIFY_WITH_TIMEOUT(!model->measuring(), 10000);
    QCOMPARE(pids(model->apps()), order);
    QCOMPARE(figures(model->apps()), exact);
    QCOMPARE(model->plan().bytes(), 10000u);
    // Rows the user may point at are updated in place, never rebuilt under the pointer.
    const bool orderKept = order == QList<pid_t>{101, 102, 103};
    QCOMPARE(resets.size(), orderKept ? 0 : 1);
    QCOMPARE(model->rows()->data(model->rows()->index(2), AppRows::MemoryRole).toDouble(),
             double(exact.last()));
}

void tst_QuitModel::knownFiguresOnlyForTheSameProcesses()
{
    addSlowApps();
    const auto known = std::make_shared<KnownFootprints>();
    const auto first = makeModel();
    first->setKnownFootprints(known);
    first->refreshInBackground();
    QTRY_VERIFY_WITH_TIMEOUT(!first->measuring(), 10000);

    // Gamma's pid now belongs to another process, which started later.
    processes->add(103, {.startTime = 31, .footprint = 5000, .estimate = 2500});
    const auto second = makeModel();
    second->setKnownFootprints(known);
    second->refreshInBackground();
    QCOMPARE(pids(second->apps()), (QList<pid_t>{102, 103, 101}));
    QCOMPARE(figures(second->apps()), (QList<quint64>{4000, 2500, 1000}));
}

void tst_QuitModel::stoppedOrQuitWhileMeasuring()
{
    addSlowApps();
    const auto model = makeModel();
    model->setQuitTimeout(5);
    workspace->onQuitRequest = [this](pid_t pid) { workspace->endApp(pid); };

    model->refreshInBackground();
    model->stopMeasuring();
    QVERIFY(!model->measuring());
    QVERIFY(processes->footprintReads < 4);
    QSignalSpy updates(model.get(), &QuitModel::planChanged);
    QTest::qWait(600);
    QCOMPARE(updates.size(), 0);
    QCOMPARE(figures(model->apps()), (QList<quint64>{6000, 4500, 2000}));

    // A quit started before the exact figures quits the apps ticked, whatever the figures.
    model->refreshInBackground();
    model->setWillQuit(model->apps().at(1), false);
    model->startQuitAll();
    QTRY_VERIFY_WITH_TIMEOUT(model->phase().isDone(), 10000);
    QCOMPARE(workspace->quitRequests, (QList<pid_t>{101, 103}));
    QCOMPARE(pids(model->phase().report()->closed), (QList<pid_t>{101, 103}));
    QTRY_VERIFY_WITH_TIMEOUT(!model->measuring(), 10000);
    QCOMPARE(pids(model->apps()), QList<pid_t>{102});
    QCOMPARE(figures(model->apps()), QList<quint64>{4000});
}

void tst_QuitModel::icons_data()
{
    QTest::addColumn<AppEntry>("app");
    QTest::addColumn<QColor>("color");
    AppEntry located = entry(1, "Located", "com.located");
    located.desktopFile = "/apps/located.desktop";
    AppEntry iconless = entry(2, "No icon in its file", "com.iconless");
    iconless.desktopFile = "/apps/iconless.desktop";
    QTest::newRow("own location") << located << QColor(Qt::red);
    QTest::newRow("location by identifier") << entry(3, "Found", "com.found") << QColor(Qt::green);
    QTest::newRow("file without icon, window icon") << iconless << QColor(Qt::blue);
    QTest::newRow("no desktop file, window icon") << entry(2, "Windowed") << QColor(Qt::blue);
    QTest::newRow("unknown identifier") << entry(4, "Unknown", "com.unknown") << genericColor();
    QTest::newRow("nothing at all") << entry(5, "Bare") << genericColor();
}

void tst_QuitModel::icons()
{
    QFETCH(AppEntry, app);
    QFETCH(QColor, color);
    workspace->fileIcons.insert("/apps/located.desktop", solid(Qt::red));
    workspace->desktopFiles.insert("com.found", "/apps/found.desktop");
    workspace->fileIcons.insert("/apps/found.desktop", solid(Qt::green));
    workspace->windowIcons.insert(2, solid(Qt::blue));
    const auto model = makeModel();

    const QPixmap icon = model->icon(app);
    QCOMPARE(icon.deviceIndependentSize(), QSizeF(32, 32));
    QCOMPARE(icon.toImage().pixelColor(icon.width() / 2, icon.height() / 2), color);
}

void tst_QuitModel::iconLookedUpOncePerPid()
{
    workspace->desktopFiles.insert("com.found", "/apps/found.desktop");
    workspace->fileIcons.insert("/apps/found.desktop", solid(Qt::green));
    const auto model = makeModel();
    const AppEntry app = entry(3, "Found", "com.found");
    const qint64 first = model->icon(app).cacheKey();

    workspace->fileIcons.insert("/apps/found.desktop", solid(Qt::red));
    QCOMPARE(model->icon(app).cacheKey(), first);
    QCOMPARE(workspace->desktopFileLookups, QStringList{"com.found"});
    // Another pid is another app, even with the same identifier.
    QCOMPARE(model->icon(entry(4, "Found", "com.found")).toImage().pixelColor(16, 16),
             QColor(Qt::red));
}

// The tutorial's rows tell the samples apart by their drawings, even where an app of the same
// desktop ID is installed.
void tst_QuitModel::samplesHaveTheirOwnIcons()
{
    for (const AppEntry& sample : SampleApps::tutorial()) {
        workspace->desktopFiles.insert(*sample.desktopId, "/apps/installed.desktop");
        workspace->windowIcons.insert(sample.pid, solid(Qt::blue));
    }
    workspace->fileIcons.insert("/apps/installed.desktop", solid(Qt::red));
    const auto model = makeModel();
    model->setFixedApps(SampleApps::tutorial());
    model->refresh();
    QSet<size_t> drawings;
    for (const AppEntry& sample : SampleApps::tutorial()) {
        const QImage icon = model->icon(sample).toImage();
        const QColor middle = icon.pixelColor(icon.width() / 2, icon.height() / 2);
        QVERIFY2(middle.alpha() > 0 && middle != QColor(Qt::red) && middle != QColor(Qt::blue) &&
                     middle != genericColor(),
                 qPrintable(sample.name));
        drawings.insert(qHash(QByteArrayView(icon.constBits(), icon.sizeInBytes())));
    }
    QCOMPARE(drawings.size(), SampleApps::tutorial().size());
    // Outside the tutorial an app with a sample's pid is what its desktop file says.
    const auto live = makeModel();
    QCOMPARE(live->icon(SampleApps::tutorial().constFirst()).toImage().pixelColor(16, 16),
             QColor(Qt::red));
}

void tst_QuitModel::reopenSkipsAppsWithoutLocation()
{
    workspace->desktopFiles.insert("com.found", "/apps/found.desktop");
    AppEntry located = entry(1, "Located", "com.located");
    located.desktopFile = "/apps/located.desktop";
    const auto model = makeModel();
    model->setPhase(Phase::done(Report{{located}, {}}));
    model->reopen({located, entry(2, "Unknown", "com.unknown"), entry(3, "Bare"),
                   entry(4, "Found", "com.found")});
    QCOMPARE(workspace->launched, QStringList({"/apps/located.desktop", "/apps/found.desktop"}));
    QCOMPARE(model->phase(), Phase::done(Report{{located}, {}}));
}

void tst_QuitModel::reopenOffersOnlyStartableAppsOnce()
{
    AppEntry mail = entry(1, "Mail", "org.mail");
    mail.desktopFile = "/apps/mail.desktop";
    AppEntry broken = entry(2, "Broken", "org.broken");
    broken.desktopFile = "/apps/broken.desktop";
    AppEntry files = entry(3, "Files", "org.files");
    files.desktopFile = "/apps/files.desktop";
    workspace->unlaunchable.insert("/apps/broken.desktop");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto model = makeModel();
    model->setPhase(Phase::done(Report{{mail, entry(4, "xcalc"), broken, files}, {}}));

    ResultSummary summary = model->resultSummary();
    QVERIFY(summary.showsReopen);
    QVERIFY(summary.reopenEnabled);
    QCOMPARE(summary.reopenCaption, QStringLiteral("Reopen 2 Apps"));
    QCOMPARE(summary.notReopenableLine,
             QStringLiteral("Can't be reopened: \u2068xcalc\u2069 and \u2068Broken\u2069"));

    QSignalSpy resultChanged(model.get(), &QuitModel::resultChanged);
    model->reopenClosed();
    model->reopenClosed();
    QCOMPARE(workspace->launched, QStringList({"/apps/mail.desktop", "/apps/files.desktop"}));
    QCOMPARE(resultChanged.count(), 1);
    summary = model->resultSummary();
    QVERIFY(summary.showsReopen);
    QVERIFY(!summary.reopenEnabled);

    // The next result offers it again; sample apps are never offered.
    model->setPhase(Phase::ready());
    model->setPhase(Phase::done(Report{{mail}, {}}));
    QCOMPARE(model->resultSummary().reopenCaption, QStringLiteral("Reopen 1 App"));
    QVERIFY(model->resultSummary().reopenEnabled);
    model->setSimulate(true);
    QVERIFY(!model->resultSummary().showsReopen);
    QVERIFY(model->resultSummary().notReopenableLine.isEmpty());
    QLocale::setDefault(QLocale::c());
}

void tst_QuitModel::modelDroppedDuringRealQuit()
{
    TestApps::addRunning(*workspace, *processes, 101, "Alpha", "com.alpha", 3000);
    TestApps::addRunning(*workspace, *processes, 102, "Beta", "com.beta", 2000);
    auto model = makeModel();
    model->setQuitTimeout(0.2);
    model->refresh();
    QCoro::Task<> run = model->quitAll();
    QCOMPARE(model->phase(), Phase::quitting(0, 2));

    const QPointer<QuitModel> watched = model.get();
    QSignalSpy destroyed(model.get(), &QObject::destroyed);
    model.reset();
    QCOMPARE(destroyed.count(), 1);
    QVERIFY(watched.isNull());
    const int listingsBefore = workspace->runningApplicationsCalls;

    // Progress and the end of the run arrive with nobody left to tell.
    workspace->endApp(101);
    QCoro::waitFor(run);
    QCOMPARE(workspace->observerCount(), 0);
    QCOMPARE(workspace->runningApplicationsCalls, listingsBefore);
}

void tst_QuitModel::modelDroppedDuringPretendQuit()
{
    auto model = makeModel();
    model->setFixedApps(QList<AppEntry>{entry(1, "One"), entry(2, "Two"), entry(3, "Three")});
    model->setSimulate(true);
    model->refresh();
    QCoro::Task<> run = model->quitAll();
    QTRY_COMPARE_WITH_TIMEOUT(model->phase(), Phase::quitting(1, 3), 10000);
    model.reset();
    QCoro::waitFor(run);
    QVERIFY(run.isReady());
}

QTEST_MAIN(tst_QuitModel)
#include "tst_QuitModel.moc"
