#include "NimbrelMenu.h"

#include "Localization.h"
#include "MenuTarget.h"

#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

#include <functional>

namespace
{

// One row of a menu; an empty title makes a separator.
struct Item {
    QString title;
    QKeySequence key;
    std::function<void(MenuTarget&)> run;
};

const Item separator;

// The rows both menus show, so their titles and keys cannot drift apart.
struct SharedItems {
    Item about{L("About Nimbrel"), {}, &MenuTarget::showAbout};
    Item checkForUpdates{L("Check for Updates…"), {}, &MenuTarget::checkForUpdates};
    Item settings{L("Settings…"), Qt::CTRL | Qt::Key_Comma, &MenuTarget::showSettings};
    Item tutorial{L("Show Tutorial"), {}, &MenuTarget::showTutorial};
    Item quit{L("Quit Nimbrel"), Qt::CTRL | Qt::Key_Q, &MenuTarget::quitProgram};
};

// The focused text field edits itself: a Qt Quick TextInput and a QLineEdit both have a method
// of this name. Anything else in focus is left alone.
std::function<void(MenuTarget&)> toFocusedField(const char* method)
{
    return [method](MenuTarget&) {
        QObject* focus = QGuiApplication::focusObject();
        if (focus && focus->metaObject()->indexOfMethod(QByteArray(method) + "()") >= 0)
            QMetaObject::invokeMethod(focus, method);
    };
}

// A Qt Quick window is no widget, so with none of those active the focused window is meant.
template <typename Operation> void onActiveWindow(Operation operation)
{
    if (QWidget* widget = QApplication::activeWindow())
        operation(widget);
    else if (QWindow* window = QGuiApplication::focusWindow())
        operation(window);
}

void minimizeActiveWindow(MenuTarget&)
{
    onActiveWindow([](auto* window) { window->showMinimized(); });
}

void closeActiveWindow(MenuTarget&)
{
    onActiveWindow([](auto* window) { window->close(); });
}

void bringForward(QWidget* window)
{
    // Raising alone leaves a minimised window minimised; maximised stays maximised.
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->raise();
    window->activateWindow();
}

// Replaces the rows after the first `fixedRows` with one per open window, the active one checked.
void listWindows(QMenu& menu, qsizetype fixedRows, const MenuTarget& target)
{
    qDeleteAll(menu.actions().sliced(fixedRows));
    for (QWidget* window : target.programWindows()) {
        QAction* row = menu.addAction(window->windowTitle());
        row->setCheckable(true);
        row->setChecked(window->isActiveWindow());
        QObject::connect(row, &QAction::triggered, window, [window] { bringForward(window); });
    }
}

QMenu& addItems(QMenu& menu, MenuTarget& target, const QList<Item>& items)
{
    for (const Item& item : items) {
        if (item.title.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item.title);
        action->setShortcut(item.key);
        QObject::connect(action, &QAction::triggered, &menu,
                         [&target, run = item.run] { run(target); });
    }
    return menu;
}

// The test of the menus self-check drops Shift from Redo, to see the check catch a wrong key.
QKeySequence redoKey()
{
    if (qEnvironmentVariableIsSet("NIMBREL_TEST_REDO_WITHOUT_SHIFT"))
        return Qt::CTRL | Qt::Key_Z;
    return Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
}

} // namespace

QMenuBar* NimbrelMenu::build(MenuTarget& target, QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    const SharedItems shared;
    // The application menu bears the program's name, which no language translates.
    addItems(*bar->addMenu(QStringLiteral("Nimbrel")), target,
             {shared.about,
              shared.checkForUpdates,
              separator,
              shared.settings,
              separator,
              {L("Hide Nimbrel"), Qt::CTRL | Qt::Key_H, &MenuTarget::hideApplication},
              separator,
              shared.quit});
    addItems(*bar->addMenu(L("Edit")), target,
             {{L("Undo"), Qt::CTRL | Qt::Key_Z, toFocusedField("undo")},
              {L("Redo"), redoKey(), toFocusedField("redo")},
              separator,
              {L("Cut"), Qt::CTRL | Qt::Key_X, toFocusedField("cut")},
              {L("Copy"), Qt::CTRL | Qt::Key_C, toFocusedField("copy")},
              {L("Paste"), Qt::CTRL | Qt::Key_V, toFocusedField("paste")},
              {L("Select All"), Qt::CTRL | Qt::Key_A, toFocusedField("selectAll")}});
    QMenu& windowMenu = addItems(*bar->addMenu(L("Window")), target,
                                 {{L("Minimize"), Qt::CTRL | Qt::Key_M, minimizeActiveWindow},
                                  {L("Close"), Qt::CTRL | Qt::Key_W, closeActiveWindow},
                                  separator});
    // Windows come and go, so the list is made as the menu opens.
    QObject::connect(&windowMenu, &QMenu::aboutToShow, &windowMenu,
                     [&windowMenu, &target, fixedRows = windowMenu.actions().size()] {
                         listWindows(windowMenu, fixedRows, target);
                     });
    addItems(
        *bar->addMenu(L("Help")), target,
        {shared.tutorial, {L("Nimbrel Help"), Qt::CTRL | Qt::Key_Question, &MenuTarget::openHelp}});
    return bar;
}

QMenu* NimbrelMenu::statusMenu(MenuTarget& target, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const SharedItems shared;
    addItems(*menu, target,
             {{L("Open Nimbrel"), {}, &MenuTarget::showPopover},
              separator,
              shared.settings,
              shared.checkForUpdates,
              shared.tutorial,
              shared.about,
              separator,
              shared.quit});
    return menu;
}
