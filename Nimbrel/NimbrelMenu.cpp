#include "NimbrelMenu.h"

#include "MenuTarget.h"

#include <QApplication>
#include <QCoreApplication>
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
    Item about{QCoreApplication::translate("Nimbrel", "About Nimbrel"), {}, &MenuTarget::showAbout};
    Item checkForUpdates{QCoreApplication::translate("Nimbrel", "Check for Updates…"),
                         {},
                         &MenuTarget::checkForUpdates};
    Item settings{QCoreApplication::translate("Nimbrel", "Settings…"), Qt::CTRL | Qt::Key_Comma,
                  &MenuTarget::showSettings};
    Item tutorial{
        QCoreApplication::translate("Nimbrel", "Show Tutorial"), {}, &MenuTarget::showTutorial};
    Item quit{QCoreApplication::translate("Nimbrel", "Quit Nimbrel"), Qt::CTRL | Qt::Key_Q,
              &MenuTarget::quitProgram};
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
              {QCoreApplication::translate("Nimbrel", "Hide Nimbrel"), Qt::CTRL | Qt::Key_H,
               &MenuTarget::hideApplication},
              separator,
              shared.quit});
    addItems(*bar->addMenu(QCoreApplication::translate("Nimbrel", "Edit")), target,
             {{QCoreApplication::translate("Nimbrel", "Undo"), Qt::CTRL | Qt::Key_Z,
               toFocusedField("undo")},
              {QCoreApplication::translate("Nimbrel", "Redo"), redoKey(), toFocusedField("redo")},
              separator,
              {QCoreApplication::translate("Nimbrel", "Cut"), Qt::CTRL | Qt::Key_X,
               toFocusedField("cut")},
              {QCoreApplication::translate("Nimbrel", "Copy"), Qt::CTRL | Qt::Key_C,
               toFocusedField("copy")},
              {QCoreApplication::translate("Nimbrel", "Paste"), Qt::CTRL | Qt::Key_V,
               toFocusedField("paste")},
              {QCoreApplication::translate("Nimbrel", "Select All"), Qt::CTRL | Qt::Key_A,
               toFocusedField("selectAll")}});
    QMenu& windowMenu = addItems(
        *bar->addMenu(QCoreApplication::translate("Nimbrel", "Window")), target,
        {{QCoreApplication::translate("Nimbrel", "Minimize"), Qt::CTRL | Qt::Key_M,
          minimizeActiveWindow},
         {QCoreApplication::translate("Nimbrel", "Close"), Qt::CTRL | Qt::Key_W, closeActiveWindow},
         separator});
    // Windows come and go, so the list is made as the menu opens.
    QObject::connect(&windowMenu, &QMenu::aboutToShow, &windowMenu,
                     [&windowMenu, &target, fixedRows = windowMenu.actions().size()] {
                         listWindows(windowMenu, fixedRows, target);
                     });
    addItems(*bar->addMenu(QCoreApplication::translate("Nimbrel", "Help")), target,
             {shared.tutorial,
              {QCoreApplication::translate("Nimbrel", "Nimbrel Help"), Qt::CTRL | Qt::Key_Question,
               &MenuTarget::openHelp}});
    return bar;
}

QMenu* NimbrelMenu::statusMenu(MenuTarget& target, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const SharedItems shared;
    addItems(
        *menu, target,
        {{QCoreApplication::translate("Nimbrel", "Open Nimbrel"), {}, &MenuTarget::showPopover},
         separator,
         shared.settings,
         shared.checkForUpdates,
         shared.tutorial,
         shared.about,
         separator,
         shared.quit});
    return menu;
}
