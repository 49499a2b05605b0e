#include "ContrastRatio.h"
#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "QuitModel.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "ShownIn.h"
#include "TestApps.h"
#include "Theme.h"
#include "Views.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <memory>
#include <tuple>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)

namespace
{

const quint64 mb = 1024 * 1024;

// The list view as the panel holds it, in a window of the panel's size.
const char* const viewSource = R"(
import QtQuick
import Nimbrel.QuitUI
Window {
    required property QuitModel quitModel
    width: Units.panelWidth; height: Units.size(470)
    color: Theme.windowBackground
    QuitListView {
        anchors.fill: parent; anchors.margins: Units.size(16); model: quitModel; focus: true
    }
}
)";

// Every item drawn under `root`, found through the visual tree (views parent their delegates
// there, not in the object tree).
QList<QQuickItem*> itemsUnder(QQuickItem* root)
{
    QList<QQuickItem*> found;
    for (QQuickItem* child : root->childItems())
        found << child << itemsUnder(child);
    return found;
}

} // namespace

class tst_QuitListView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyListHasDisabledButton();
    void rowsInOrderAndRowTapUnticks();
    void tickBoxFollowsThePlanNotTheClick();
    void sampleModeRunsPretendQuitToResult();
    void resultSections_data();
    void resultSections();
    void forceQuitFromResult();
    void selectedPresetStandsOut_data();
    void selectedPresetStandsOut();
    void captionFitsWhole_data();
    void captionFitsWhole();

private:
    void addApp(pid_t pid, const QString& name, quint64 footprint, bool located = false);
    void showView();
    QQuickItem* item(const char* name) const;
    QList<QQuickItem*> rows() const;
    QString caption() const { return item("mainButton")->property("text").toString(); }
    void click(QQuickItem* target, QPointF at = {});
    void clickText(const QString& text, int nth = 0);

    QQmlEngine engine;
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<FakeWorkspace> workspace;
    std::unique_ptr<FakeProcessInfo> processes;
    std::unique_ptr<QuitModel> model;
    std::unique_ptr<QQuickWindow> window;
};

void tst_QuitListView::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Views::configure();
    Views::prepare(engine);
}

void tst_QuitListView::init()
{
    config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    store = std::make_unique<SettingsStore>(*SettingsStore::suite(QStringLiteral("views")));
    workspace = std::make_unique<FakeWorkspace>();
    processes = std::make_unique<FakeProcessInfo>();
    model = std::make_unique<QuitModel>(*workspace, *processes, *store);
    model->setQuitTimeout(0.3);
}

void tst_QuitListView::cleanup()
{
    window.reset();
    model.reset();
    store.reset();
    config.reset();
}

void tst_QuitListView::addApp(pid_t pid, const QString& name, quint64 footprint, bool located)
{
    RunningApplication app = TestApps::running(pid, name, QStringLiteral("org.test.%1").arg(pid));
    if (located)
        app.desktopFile = QStringLiteral("/usr/share/applications/org.test.%1.desktop").arg(pid);
    workspace->addApp(app);
    processes->add(pid, {.footprint = footprint});
}

void tst_QuitListView::showView()
{
    QQmlComponent component(&engine);
    component.setData(viewSource, QUrl(QStringLiteral("file:///panel-test.qml")));
    QVERIFY2(component.isReady(), qPrintable(component.errorString()));
    QObject* created = component.createWithInitialProperties(
        {{QStringLiteral("quitModel"), QVariant::fromValue(model.get())}});
    QVERIFY2(created, qPrintable(component.errorString()));
    window.reset(qobject_cast<QQuickWindow*>(created));
    window->show();
    window->requestActivate();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

QQuickItem* tst_QuitListView::item(const char* name) const
{
    return window->findChild<QQuickItem*>(QLatin1String(name));
}

QList<QQuickItem*> tst_QuitListView::rows() const
{
    // Delegates carry the row's pid; sorted top to bottom as drawn.
    QList<QQuickItem*> found;
    for (QQuickItem* child :
         item("appList")->property("contentItem").value<QQuickItem*>()->childItems()) {
        if (child->property("pid").isValid() && child->isVisible())
            found.append(child);
    }
    std::sort(found.begin(), found.end(),
              [](QQuickItem* a, QQuickItem* b) { return a->y() < b->y(); });
    return found;
}

void tst_QuitListView::click(QQuickItem* target, QPointF at)
{
    QVERIFY(target);
    const QPointF local = at.isNull() ? QPointF(target->width() / 2, target->height() / 2) : at;
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, target->mapToScene(local).toPoint());
}

// Clicks the `nth` visible button, top to bottom, whose text is `text`.
void tst_QuitListView::clickText(const QString& text, int nth)
{
    QList<QQuickItem*> buttons;
    for (QQuickItem* candidate : itemsUnder(window->contentItem())) {
        if (candidate->property("text").toString() == text && candidate->isVisible() &&
            candidate->inherits("QQuickAbstractButton"))
            buttons.append(candidate);
    }
    std::sort(buttons.begin(), buttons.end(), [](QQuickItem* a, QQuickItem* b) {
        return a->mapToScene({}).y() < b->mapToScene({}).y();
    });
    if (nth < buttons.size())
        return click(buttons[nth]);
    QFAIL(qPrintable(QStringLiteral("no button \"%1\"").arg(text)));
}

void tst_QuitListView::emptyListHasDisabledButton()
{
    showView();
    QTRY_VERIFY(item("emptyText")->isVisible());
    QCOMPARE(item("emptyText")->property("text").toString(),
             QStringLiteral("No other apps are open."));
    QCOMPARE(caption(), QStringLiteral("Nothing to Quit"));
    QVERIFY(!item("mainButton")->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_Return);
    click(item("mainButton"));
    QCOMPARE(model->phase(), Phase::ready());
}

void tst_QuitListView::rowsInOrderAndRowTapUnticks()
{
    const QStringList names{"Browser", "Chat", "Editor", "Music", "Notes", "Viewer"};
    for (int i = 0; i < names.size(); ++i)
        addApp(100 + i, names[i], quint64(10 + i * 100) * mb);
    showView();
    QTRY_COMPARE(rows().size(), 6);
    QStringList shown;
    for (QQuickItem* row : rows())
        shown.append(row->property("name").toString());
    QCOMPARE(shown, QStringList({"Viewer", "Notes", "Music", "Editor", "Chat", "Browser"}));
    QCOMPARE(caption(), QStringLiteral("Quit 6 Apps · frees 1.5 GB of memory"));

    // The blank stretch between name and memory belongs to the row.
    QQuickItem* top = rows().first();
    click(top, QPointF(top->width() * 0.6, top->height() / 2));
    QTRY_VERIFY(!rows().first()->property("ticked").toBool());
    QCOMPARE(model->keep(), QSet<QString>{"org.test.105"});
    QCOMPARE(caption(), QStringLiteral("Quit 5 Apps · frees 1.0 GB of memory"));
    QCOMPARE(store->value(SettingsKeys::quitKeep), QStringList{"org.test.105"});

    click(rows().first(), QPointF(rows().first()->width() * 0.6, 5));
    QTRY_VERIFY(rows().first()->property("ticked").toBool());
}

void tst_QuitListView::tickBoxFollowsThePlanNotTheClick()
{
    // Under Distractions an editor is never quit, whatever its tick box is clicked to.
    addApp(100, "Editor", 50 * mb);
    model->setPreset(QuitPreset::work);
    showView();
    QTRY_COMPARE(rows().size(), 1);
    QQuickItem* checkBox = nullptr;
    for (QQuickItem* child : itemsUnder(rows().first())) {
        if (child->inherits("QQuickCheckBox"))
            checkBox = child;
    }
    QVERIFY(checkBox);
    QVERIFY(!checkBox->property("checked").toBool());
    click(checkBox);
    QTRY_COMPARE(model->keep().size(), 0);
    QVERIFY(!checkBox->property("checked").toBool());
    QCOMPARE(caption(), QStringLiteral("Nothing to Quit"));
}

void tst_QuitListView::sampleModeRunsPretendQuitToResult()
{
    model->setSimulate(true);
    model->setFixedApps(QList<AppEntry>{TestApps::entry(91001, "Sample A", "a", 300 * mb),
                                        TestApps::entry(91002, "Sample B", "b", 200 * mb)});
    showView();
    QTRY_COMPARE(rows().size(), 2);
    QVERIFY(item("sampleBanner")->isVisible());
    QCOMPARE(caption(), QStringLiteral("Try It — Nothing Really Closes"));

    click(item("mainButton"));
    QTRY_COMPARE(caption(), QStringLiteral("Closing… 1 of 2"));
    QVERIFY(!item("mainButton")->isEnabled());
    QTRY_VERIFY(model->phase().isDone());
    QVERIFY(workspace->quitRequests.isEmpty());
    QQuickItem* result = item("result")->property("item").value<QQuickItem*>();
    QVERIFY(result && result->isVisible());
    QVERIFY(!item("list")->isVisible());
    // Each name isolated, so a right-to-left one cannot reorder the list.
    QCOMPARE(model->resultSummary().closedNames,
             QStringLiteral("\u2068Sample A\u2069 and \u2068Sample B\u2069"));
    QVERIFY(!model->resultSummary().showsReopen);

    QTest::keyClick(window.get(), Qt::Key_Return);
    QTRY_VERIFY(item("list")->isVisible());
    QCOMPARE(model->phase(), Phase::ready());
}

void tst_QuitListView::resultSections_data()
{
    QTest::addColumn<int>("stubborn");
    QTest::addColumn<bool>("measured");
    QTest::addColumn<bool>("located");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("hidden");
    const QString one =
        QStringLiteral("Still open — it may be asking you to save, or not responding:");
    const QString several =
        QStringLiteral("Still open — they may be asking you to save, or not responding:");
    QTest::newRow("freed, one still open, reopen")
        << 1 << true << true
        << QStringList{"200 MB", "of memory freed — 2 apps closed", one, "Reopen 2 Apps"}
        << QStringList{several};
    QTest::newRow("nothing freed, several still open")
        << 2 << false << true << QStringList{"Closed 1 app", several, "Force Quit"}
        << QStringList{"Reopen 1 App", one};
    QTest::newRow("freed, no locations, nothing still open")
        << 0 << true << false
        << QStringList{"300 MB", "of memory freed — 3 apps closed",
                       "Can't be reopened: \u2068App 0\u2069, \u2068App 1\u2069, and "
                       "\u2068App 2\u2069"}
        << QStringList{"Reopen 3 Apps", one, several};
}

void tst_QuitListView::resultSections()
{
    QFETCH(int, stubborn);
    QFETCH(bool, measured);
    QFETCH(bool, located);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, hidden);
    for (int i = 0; i < 3; ++i)
        addApp(200 + i, QStringLiteral("App %1").arg(i), measured ? 100 * mb : 0, located);
    // The first `stubborn` apps ignore the request, as apps asking to save do.
    workspace->onQuitRequest = [this, stubborn](pid_t pid) {
        if (pid - 200 >= stubborn)
            workspace->endApp(pid);
    };
    showView();
    QTRY_COMPARE(rows().size(), 3);
    QTest::keyClick(window.get(), Qt::Key_Return);
    QTRY_VERIFY(model->phase().isDone());
    QTRY_VERIFY(item("doneButton") && item("doneButton")->isVisible());

    QStringList visibleTexts;
    for (QQuickItem* candidate : itemsUnder(window->contentItem())) {
        bool shownOnScreen = candidate->isVisible();
        for (QQuickItem* up = candidate; up && shownOnScreen; up = up->parentItem())
            shownOnScreen = up->isVisible();
        if (shownOnScreen)
            visibleTexts.append(candidate->property("text").toString());
    }
    for (const QString& text : shown)
        QVERIFY2(visibleTexts.contains(text), qPrintable(text));
    for (const QString& text : hidden)
        QVERIFY2(!visibleTexts.contains(text), qPrintable(text));

    // Reopening works once: a second press would start the apps twice.
    if (QQuickItem* reopen = item("reopenButton"); reopen && reopen->isVisible()) {
        click(reopen);
        QCOMPARE(workspace->launched.size(), 3 - stubborn);
        QTRY_VERIFY(!reopen->isEnabled());
    }
}

void tst_QuitListView::forceQuitFromResult()
{
    addApp(300, "Stuck A", 100 * mb);
    addApp(301, "Stuck B", 50 * mb);
    addApp(302, "Window of nobody known", 0);
    workspace->forceQuitStates.insert(302, ForceQuitState::unverified);
    showView();
    QTRY_COMPARE(rows().size(), 3);
    click(item("mainButton"));
    QTRY_VERIFY(model->phase().isDone());
    QCOMPARE(model->phase().report()->stillOpen.size(), 3);
    // The window no verified process owns says why it has no Force Quit button.
    QTRY_VERIFY(item("doneButton") && item("doneButton")->isVisible());
    int forceQuitButtons = 0;
    QStringList notes;
    for (QQuickItem* candidate : itemsUnder(window->contentItem())) {
        if (!candidate->isVisible())
            continue;
        if (candidate->property("text").toString() == QStringLiteral("Force Quit") &&
            candidate->inherits("QQuickAbstractButton"))
            ++forceQuitButtons;
        if (candidate->objectName() == QStringLiteral("forceQuitNote"))
            notes.append(candidate->property("text").toString());
    }
    QCOMPARE(forceQuitButtons, 2);
    QCOMPARE(notes, QStringList{
                        QStringLiteral("Can't be force quit: no process of it could be verified")});

    clickText(QStringLiteral("Show"), 0);
    QCOMPARE(workspace->activations, QList<pid_t>{300});
    // An app that has gone meanwhile is not brought forward.
    workspace->endAppQuietly(301);
    clickText(QStringLiteral("Show"), 1);
    QCOMPARE(workspace->activations, QList<pid_t>{300});

    clickText(QStringLiteral("Force Quit"), 0);
    QCOMPARE(workspace->forceQuitRequests, QList<pid_t>{300});
    QTRY_COMPARE(model->resultSummary().freedText, QStringLiteral("100 MB"));
    QCOMPARE(model->resultSummary().stillOpen.size(), 2);
}

void tst_QuitListView::selectedPresetStandsOut_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light") << false;
    QTest::newRow("dark") << true;
}

// As drawn, the chosen preset differs from the others by 3:1 at least, in either look.
void tst_QuitListView::selectedPresetStandsOut()
{
    QFETCH(bool, dark);
    Theme::instance()->setDark(dark);
    const auto restore = qScopeGuard([] { Theme::instance()->setDark(false); });
    model->setPreset(QuitPreset::work);
    showView();
    QList<QQuickItem*> presets;
    for (QQuickItem* candidate : itemsUnder(window->contentItem())) {
        if (candidate->inherits("QQuickTabButton"))
            presets.append(candidate);
    }
    QCOMPARE(presets.size(), 3);
    // Beside the caption, which is centred, inside the outline.
    const auto fill = [&](const QImage& shot, const QQuickItem* preset) {
        const QPointF inside = preset->mapToScene(QPointF(4, preset->height() / 2));
        return shot.pixelColor((inside * window->devicePixelRatio()).toPoint());
    };
    const QImage shot = window->grabWindow();
    QColor chosen;
    QList<QColor> others;
    for (const QQuickItem* preset : std::as_const(presets)) {
        if (preset->property("checked").toBool())
            chosen = fill(shot, preset);
        else
            others.append(fill(shot, preset));
    }
    QVERIFY(chosen.isValid());
    QCOMPARE(others.size(), 2);
    for (const QColor& other : std::as_const(others))
        QVERIFY2(contrastRatio(chosen, other) >= 3,
                 qPrintable(chosen.name() + QLatin1String(" against ") + other.name()));
}

void tst_QuitListView::captionFitsWhole_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("verb"); // proves the language's own wording is shown
    QTest::addColumn<qreal>("fontScale");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint64>("total");
    const QList<std::tuple<const char*, QLocale, QString>> languages{
        {"English", QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("Quit")},
        {"German", QLocale(QLocale::German, QLocale::Germany), QStringLiteral("beenden")}};
    // The widest figures: the most digits below a unit's change, and 999.9 GB.
    const QList<std::pair<const char*, quint64>> totals{
        {"1 MB", mb}, {"999 MB", 999 * mb}, {"999.9 GB", quint64(999.9 * 1024) * mb}};
    for (const auto& [language, locale, verb] : languages)
        for (const qreal scale : {1.0, 1.25})
            for (const int count : {1, 9, 10, 99})
                for (const auto& [figure, total] : totals)
                    QTest::addRow("%s, font ×%.2f, %d apps, %s", language, scale, count, figure)
                        << locale << verb << scale << count << total;
}

// However many apps and however much memory, the main button says it all in every language we
// ship, at the desktop's font size and a larger one.
void tst_QuitListView::captionFitsWhole()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, verb);
    QFETCH(qreal, fontScale);
    QFETCH(int, count);
    QFETCH(quint64, total);
    const ShownIn language(locale, fontScale);

    // The last app carries the rest, so the total is exact.
    for (int i = 0; i < count; ++i)
        addApp(400 + i, QStringLiteral("App %1").arg(i),
               i + 1 < count ? total / quint64(count)
                             : total - (total / quint64(count)) * (count - 1));
    showView();
    QTRY_COMPARE(model->plan().toQuit.size(), count);
    const QQuickItem* label = item("mainButton")->property("contentItem").value<QQuickItem*>();
    QVERIFY(label);
    QVERIFY2(caption().contains(locale.toString(count)) && caption().contains(verb),
             qPrintable(caption()));
    QCOMPARE(label->property("text").toString(), caption());
    QVERIFY2(!label->property("truncated").toBool(), qPrintable(caption()));
}

QTEST_MAIN(tst_QuitListView)
#include "tst_QuitListView.moc"
