#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "PanelModelKeeper.h"
#include "QuitModel.h"
#include "SettingsStore.h"

#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace std::chrono_literals;

class tst_PanelModelKeeper : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<SettingsStore> store;
    FakeWorkspace workspace;
    FakeProcessInfo processes;
    int modelsMade = 0;

    // A keeper whose results last `lifetime` with the panel closed; a zero lifetime ends them on
    // the next turn of the event loop, unless something stopped the clock.
    std::unique_ptr<PanelModelKeeper> keeper(std::chrono::milliseconds lifetime)
    {
        return std::make_unique<PanelModelKeeper>(
            [this] {
                ++modelsMade;
                return std::make_unique<QuitModel>(workspace, processes, *store);
            },
            lifetime);
    }

    static Phase done() { return Phase::done({}); }

private slots:
    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        QVERIFY(config->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        store = std::make_unique<SettingsStore>(*SettingsStore::suite(QStringLiteral("panel")));
        modelsMade = 0;
    }

    void closingKeepsOnlyAQuitOrItsResult_data()
    {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<bool>("kept");
        QTest::newRow("list") << Phase::ready() << false;
        QTest::newRow("quit running") << Phase::quitting(1, 3) << true;
        QTest::newRow("result") << done() << true;
    }

    void closingKeepsOnlyAQuitOrItsResult()
    {
        QFETCH(Phase, phase);
        QFETCH(bool, kept);
        const auto panels = keeper(1min);
        QPointer<QuitModel> model = &panels->opened();
        model->setPhase(phase);
        auto window = std::make_unique<QObject>();
        panels->closed(*window);
        QCOMPARE(panels->keepsModel(), kept);
        window.reset();
        // A model let go goes with its window, not before.
        QCOMPARE(model.isNull(), !kept);
        QCOMPARE(&panels->opened() == model.data(), kept);
        QCOMPARE(modelsMade, kept ? 1 : 2);
    }

    void resultLastsWhileShown()
    {
        const auto panels = keeper(0ms);
        QuitModel& model = panels->opened();
        model.setPhase(done());
        QObject window;
        panels->closed(window);
        QCOMPARE(&panels->opened(), &model);
        QCoreApplication::processEvents();
        QVERIFY(panels->keepsModel());
        // Done: the next closing lets the list go.
        model.setPhase(Phase::ready());
        panels->closed(window);
        QVERIFY(!panels->keepsModel());
    }

    void resultExpiresOnlyOnceQuitEnded()
    {
        const auto panels = keeper(0ms);
        QuitModel& model = panels->opened();
        model.setPhase(Phase::quitting(0, 2));
        QObject window;
        panels->closed(window);
        QCoreApplication::processEvents();
        QVERIFY(panels->keepsModel());
        model.setPhase(done());
        QTRY_VERIFY(!panels->keepsModel());
        panels->opened();
        QCOMPARE(modelsMade, 2);
    }
};

QTEST_GUILESS_MAIN(tst_PanelModelKeeper)
#include "tst_PanelModelKeeper.moc"
