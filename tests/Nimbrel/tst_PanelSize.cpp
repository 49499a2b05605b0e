#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "PanelView.h"
#include "QuitModel.h"
#include "SettingsStore.h"
#include "ShownIn.h"
#include "TestApps.h"
#include "Units.h"
#include "Views.h"

#include <QFile>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <algorithm>
#include <memory>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

const quint64 mb = 1024 * 1024;

// Every item drawn under `root`, found through the visual tree.
QList<QQuickItem*> itemsUnder(QQuickItem* root)
{
    QList<QQuickItem*> found;
    for (QQuickItem* child : root->childItems())
        found << child << itemsUnder(child);
    return found;
}

bool shown(const QQuickItem* item)
{
    for (; item; item = item->parentItem()) {
        if (!item->isVisible() || item->opacity() == 0)
            return false;
    }
    return true;
}

QRectF sceneRect(const QQuickItem* item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

} // namespace

// The panel at the size the tray program gives it, in every language we ship and at larger fonts:
// a long list scrolls in a panel of the usual size, and a result too tall for it makes the panel
// grow, up to the screen's height, rather than squeeze its lines over each other.
class tst_PanelSize : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Views::configure();
        Views::prepare(engine);
    }

    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
        store = std::make_unique<SettingsStore>(*SettingsStore::suite(QStringLiteral("size")));
    }

    void growsOnlyWhereItMust_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qreal>("fontScale");
        for (const auto& [language, locale] :
             {std::pair("English", QLocale(QLocale::English, QLocale::UnitedStates)),
              std::pair("German", QLocale(QLocale::German, QLocale::Germany))})
            for (const qreal scale : {1.0, 1.25, 2.5})
                QTest::addRow("%s, font ×%.2f", language, scale) << locale << scale;
    }

    void growsOnlyWhereItMust()
    {
        QFETCH(QLocale, locale);
        QFETCH(qreal, fontScale);
        const ShownIn language(locale, fontScale);

        // Twenty apps that close, with no desktop file to reopen them by; ten that stay open,
        // one of them with no process that could be verified.
        FakeWorkspace workspace;
        FakeProcessInfo processes;
        for (pid_t pid = 100; pid < 130; ++pid) {
            workspace.addApp(TestApps::running(pid,
                                               QStringLiteral("Application number %1").arg(pid),
                                               QStringLiteral("org.test.app%1").arg(pid)));
            processes.add(pid, {.footprint = quint64(pid) * mb});
        }
        workspace.forceQuitStates.insert(100, ForceQuitState::unverified);
        workspace.onQuitRequest = [&workspace](pid_t pid) {
            if (pid >= 110)
                workspace.endApp(pid);
        };
        QuitModel model(workspace, processes, *store);
        model.setQuitTimeout(0.3);

        QQuickView view(&engine, nullptr);
        QVERIFY(PanelView::load(view, model, nullptr));
        PanelView::fitToContent(view);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int usual = int(Units::instance()->size(470));
        const int room = view.screen()->availableSize().height();

        // The list of 30 scrolls in the usual panel, as long as it fits the screen.
        QTRY_COMPARE(model.apps().size(), 30);
        QTRY_COMPARE(view.height(), std::min(usual, room));
        QCOMPARE(view.width(), int(Units::instance()->panelWidth()));

        model.startQuitAll();
        QTRY_VERIFY(model.phase().isDone());
        QCOMPARE(model.resultSummary().stillOpen.size(), 10);
        QQuickItem* done = view.rootObject()->findChild<QQuickItem*>(QStringLiteral("doneButton"));
        QTRY_VERIFY(done && shown(done));
        const QQuickItem* page = view.rootObject()->findChild<QQuickItem*>(QStringLiteral("page"));
        QVERIFY(page);
        // The panel grows until all is in sight; only a screen too small for it makes it scroll.
        QTRY_VERIFY(view.height() == room || !page->property("interactive").toBool());
        QTest::qWait(50);

        // What the result shows lies inside the panel, one line never over another. Only the
        // list of apps still open may hold more than it shows, and that list scrolls.
        const QQuickItem* pageContent = page->property("contentItem").value<QQuickItem*>();
        const QRectF panel = sceneRect(view.rootObject()).united(sceneRect(pageContent));
        const QQuickItem* stillOpen =
            view.rootObject()->findChild<QQuickItem*>(QStringLiteral("stillOpenList"));
        QVERIFY(stillOpen && shown(stillOpen));
        QVERIFY(stillOpen->height() >= Units::instance()->size(60));
        QList<QRectF> lines{sceneRect(done), sceneRect(stillOpen)};
        for (const QQuickItem* item : itemsUnder(view.rootObject())) {
            if (!item->inherits("QQuickText") || !shown(item) || item->height() == 0 ||
                stillOpen->isAncestorOf(item) || done->isAncestorOf(item))
                continue;
            const QRectF line = sceneRect(item);
            const QString text = item->property("text").toString();
            QVERIFY2(panel.contains(line), qPrintable(text));
            for (const QRectF& other : std::as_const(lines))
                QVERIFY2(!line.intersects(other), qPrintable(text));
            lines.append(line);
        }
        QVERIFY(panel.contains(sceneRect(done)));
        // Ten rows are more than the list of apps still open shows: its buttons stay clear of
        // its scroll bar.
        const QList<QQuickItem*> inList = itemsUnder(const_cast<QQuickItem*>(stillOpen));
        const auto scrollBar = std::find_if(inList.begin(), inList.end(), [](QQuickItem* item) {
            return item->inherits("QQuickScrollBar") && shown(item) &&
                   item->property("orientation").toInt() == Qt::Vertical;
        });
        QVERIFY(scrollBar != inList.end());
        for (const QQuickItem* item : inList) {
            if (item->inherits("QQuickAbstractButton") && item != *scrollBar && shown(item))
                QVERIFY(!sceneRect(item).intersects(sceneRect(*scrollBar)));
        }

        // Done: back to the list, and to the usual size.
        model.finish();
        QTRY_COMPARE(view.height(), std::min(usual, room));
    }

private:
    QQmlEngine engine;
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<SettingsStore> store;
};

QTEST_MAIN(tst_PanelSize)
#include "tst_PanelSize.moc"
