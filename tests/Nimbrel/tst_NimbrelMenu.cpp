#include "MenuTarget.h"
#include "NimbrelMenu.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QTest>
#include <QWindow>

#include <algorithm>

namespace
{

// Writes down which operation each item asked for.
class RecordingTarget : public MenuTarget
{
public:
    void showAbout() override { calls << "showAbout"; }
    void checkForUpdates() override { calls << "checkForUpdates"; }
    void showSettings() override { calls << "showSettings"; }
    void showPopover() override { calls << "showPopover"; }
    void showTutorial() override { calls << "showTutorial"; }
    void openHelp() override { calls << "openHelp"; }
    void hideApplication() override { calls << "hideApplication"; }
    void quitProgram() override { calls << "quitProgram"; }
    QList<QWidget*> programWindows() const override { return windows; }

    QStringList calls;
    QList<QWidget*> windows;
};

const QByteArray textInputWindow =
    "import QtQuick\n"
    "Window { visible: true; width: 200; height: 50\n"
    "    TextInput { objectName: 'field'; text: 'draft'; focus: true }"
    " }";

} // namespace

class tst_NimbrelMenu : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void rows_data();
    void rows();
    void onlyTheListedRows();
    void keysWorkInTheWindow();
    void editing_data();
    void editing();
    void windowMenuListsOpenWindows();

private:
    QMenu* menuNamed(const QString& name) const;
    QAction* item(const QString& menu, const QString& title) const;

    RecordingTarget target;
    // The program window showing the menu bar; shown only by the tests that press keys.
    std::unique_ptr<QMainWindow> window;
    // The tray item's menu, alive beside the bar as in the program.
    std::unique_ptr<QMenu> status;
};

void tst_NimbrelMenu::initTestCase()
{
    // The tray program outlives its windows; closing one must not end the test either.
    QApplication::setQuitOnLastWindowClosed(false);
}

void tst_NimbrelMenu::init()
{
    target.calls.clear();
    target.windows.clear();
    window = std::make_unique<QMainWindow>();
    window->setMenuBar(NimbrelMenu::build(target));
    status.reset(NimbrelMenu::statusMenu(target));
}

void tst_NimbrelMenu::cleanup()
{
    status.reset();
    window.reset();
}

QMenu* tst_NimbrelMenu::menuNamed(const QString& name) const
{
    if (name == "status")
        return status.get();
    const QList<QAction*> menus = window->menuBar()->actions();
    auto found = std::find_if(menus.begin(), menus.end(),
                              [&](QAction* menu) { return menu->text() == name; });
    return found == menus.end() ? nullptr : (*found)->menu();
}

QAction* tst_NimbrelMenu::item(const QString& menu, const QString& title) const
{
    for (QAction* action : menuNamed(menu)->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

void tst_NimbrelMenu::rows_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("title"); // empty for a separator
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("operation");
    const auto row = [](const char* menu, int position, const char* title, const char* key = "",
                        const char* operation = "") {
        QTest::addRow("%s %d %s", menu, position, *title ? title : "separator")
            << menu << position << title << key << operation;
    };
    row("bar", 0, "Nimbrel");
    row("bar", 1, "Edit");
    row("bar", 2, "Window");
    row("bar", 3, "Help");
    row("Nimbrel", 0, "About Nimbrel", "", "showAbout");
    row("Nimbrel", 1, "Check for Updates\u2026", "", "checkForUpdates");
    row("Nimbrel", 2, "");
    row("Nimbrel", 3, "Settings\u2026", "Ctrl+,", "showSettings");
    row("Nimbrel", 4, "");
    row("Nimbrel", 5, "Hide Nimbrel", "Ctrl+H", "hideApplication");
    row("Nimbrel", 6, "");
    row("Nimbrel", 7, "Quit Nimbrel", "Ctrl+Q", "quitProgram");
    row("Edit", 0, "Undo", "Ctrl+Z");
    row("Edit", 1, "Redo", "Ctrl+Shift+Z");
    row("Edit", 2, "");
    row("Edit", 3, "Cut", "Ctrl+X");
    row("Edit", 4, "Copy", "Ctrl+C");
    row("Edit", 5, "Paste", "Ctrl+V");
    row("Edit", 6, "Select All", "Ctrl+A");
    row("Window", 0, "Minimize", "Ctrl+M");
    row("Window", 1, "Close", "Ctrl+W");
    row("Window", 2, "");
    row("Help", 0, "Show Tutorial", "", "showTutorial");
    row("Help", 1, "Nimbrel Help", "Ctrl+?", "openHelp");
    row("status", 0, "Open Nimbrel", "", "showPopover");
    row("status", 1, "");
    row("status", 2, "Settings\u2026", "Ctrl+,", "showSettings");
    row("status", 3, "Check for Updates\u2026", "", "checkForUpdates");
    row("status", 4, "Show Tutorial", "", "showTutorial");
    row("status", 5, "About Nimbrel", "", "showAbout");
    row("status", 6, "");
    row("status", 7, "Quit Nimbrel", "Ctrl+Q", "quitProgram");
}

void tst_NimbrelMenu::rows()
{
    QFETCH(QString, menu);
    QFETCH(int, position);
    QFETCH(QString, title);
    QFETCH(QString, key);
    QFETCH(QString, operation);
    const QList<QAction*> actions =
        menu == "bar" ? window->menuBar()->actions() : menuNamed(menu)->actions();
    QAction* action = actions.value(position);
    QVERIFY(action);
    QCOMPARE(action->isSeparator(), title.isEmpty());
    QCOMPARE(action->text(), title);
    QCOMPARE(action->shortcut().toString(QKeySequence::PortableText), key);
    action->trigger();
    QCOMPARE(target.calls, operation.isEmpty() ? QStringList() : QStringList{operation});
}

void tst_NimbrelMenu::onlyTheListedRows()
{
    QCOMPARE(window->menuBar()->actions().size(), 4);
    const std::pair<QString, int> sizes[] = {
        {"Nimbrel", 8}, {"Edit", 7}, {"Window", 3}, {"Help", 2}, {"status", 8}};
    for (const auto& [menu, size] : sizes) {
        QCOMPARE(menuNamed(menu)->actions().size(), size);
        for (QAction* action : menuNamed(menu)->actions()) {
            const bool shift = action->shortcut()[0].keyboardModifiers() & Qt::ShiftModifier;
            QCOMPARE(shift, action->text() == "Redo");
        }
    }
}

void tst_NimbrelMenu::keysWorkInTheWindow()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Comma, Qt::ControlModifier);
    QCOMPARE(target.calls, QStringList{"showSettings"});
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    QTRY_VERIFY(!window->isVisible());
}

void tst_NimbrelMenu::editing_data()
{
    QTest::addColumn<bool>("quick");
    QTest::newRow("QLineEdit") << false;
    QTest::newRow("Qt Quick TextInput") << true;
}

void tst_NimbrelMenu::editing()
{
    QFETCH(bool, quick);
    QGuiApplication::clipboard()->clear();
    QQmlEngine engine;
    std::unique_ptr<QObject> quickWindow;
    QObject* field = nullptr;
    if (quick) {
        QQmlComponent component(&engine);
        component.setData(textInputWindow, QUrl());
        quickWindow.reset(component.create());
        QVERIFY2(quickWindow, qPrintable(component.errorString()));
        qobject_cast<QWindow*>(quickWindow.get())->requestActivate();
        field = quickWindow->findChild<QObject*>("field");
    } else {
        auto* lineEdit = new QLineEdit("draft");
        window->setCentralWidget(lineEdit);
        window->show();
        window->activateWindow();
        lineEdit->setFocus();
        field = lineEdit;
    }
    QTRY_COMPARE(QGuiApplication::focusObject(), field);

    // Each step's effect shows in the field's text or on the clipboard.
    const struct {
        const char* item;
        const char* text;
        const char* clipboard;
    } steps[] = {{"Select All", "draft", ""}, {"Copy", "draft", "draft"},
                 {"Cut", "", "draft"},        {"Undo", "draft", "draft"},
                 {"Redo", "", "draft"},       {"Paste", "draft", "draft"}};
    for (const auto& step : steps) {
        item("Edit", step.item)->trigger();
        QCOMPARE(field->property("text").toString(), step.text);
        QCOMPARE(QGuiApplication::clipboard()->text(), step.clipboard);
    }
}

void tst_NimbrelMenu::windowMenuListsOpenWindows()
{
    QWidget notes;
    QWidget settings;
    notes.setWindowTitle("Notes");
    settings.setWindowTitle("Settings");
    target.windows = {&notes, &settings};
    notes.showMinimized();
    settings.show();
    settings.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&settings));

    QMenu* windowMenu = menuNamed("Window");
    const auto listed = [&] {
        emit windowMenu->aboutToShow();
        QStringList rows;
        for (QAction* row : windowMenu->actions().sliced(3))
            rows << row->text() + (row->isChecked() ? " (checked)" : "");
        return rows;
    };
    QCOMPARE(listed(), QStringList({"Notes", "Settings (checked)"}));
    item("Window", "Notes")->trigger();
    QVERIFY(QTest::qWaitForWindowActive(&notes));
    QVERIFY(!notes.isMinimized());
    QCOMPARE(listed(), QStringList({"Notes (checked)", "Settings"}));
}

QTEST_MAIN(tst_NimbrelMenu)
#include "tst_NimbrelMenu.moc"
