#include "ProgramWindows.h"

#include "AboutBox.h"
#include "NimbrelMenu.h"
#include "ShellEngine.h"
#include "Units.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QQuickView>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace
{

const QSize settingsUnits{420, 220};

QUrl shellComponent(const QString& name)
{
    return QUrl(QStringLiteral("qrc:/qt/qml/Nimbrel/Shell/%1.qml").arg(name));
}

} // namespace

ProgramWindows::ProgramWindows(MenuTarget& menus_, QObject* shell_, ShellEngine& engine_,
                               QObject* parent)
    : QObject(parent), menus(menus_), shell(shell_), engine(engine_),
      // Linux has no menu bar of the program's own; this one is what program windows copy and
      // what the menus check reads.
      programMenu(NimbrelMenu::build(menus_))
{
}

ProgramWindows::~ProgramWindows()
{
    delete programWindow;
}

QList<QWidget*> ProgramWindows::shown() const
{
    if (programWindow && programWindow->isVisible())
        return {programWindow.data()};
    return {};
}

void ProgramWindows::show(const QString& title, QSize units, const QString& component,
                          const QVariantMap& properties)
{
    const Units* unit = Units::instance();
    const QSize size(int(unit->size(units.width())), int(unit->size(units.height())));
    setTaskbarPresence(TaskbarPresence::Taskbar);
    if (programWindow) {
        programWindow->close();
        programWindow->deleteLater();
    }
    auto* view = new QQuickView(&engine.get(), nullptr);
    QVariantMap initial = properties;
    initial.insert(QStringLiteral("shell"), QVariant::fromValue(shell));
    view->setInitialProperties(initial);
    view->setSource(shellComponent(component));
    auto* window = new NimbrelWindow(title, size, view, NimbrelMenu::build(menus));
    if (QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->show();
    window->raise();
    window->activateWindow();
    programWindow = window;
    connect(window, &NimbrelWindow::willClose, this, [this, window] {
        emit windowClosing(window);
        // After the current event, so a window replacing this one is up and keeps the taskbar.
        QTimer::singleShot(0, this, [this] {
            if (shown().isEmpty())
                setTaskbarPresence(TaskbarPresence::TrayOnly);
        });
    });
}

void ProgramWindows::showSettings()
{
    show(QCoreApplication::translate("Nimbrel", "Nimbrel Settings"), settingsUnits,
         QStringLiteral("NimbrelSettings"));
}

void ProgramWindows::hide()
{
    if (programWindow)
        programWindow->hide();
}

void ProgramWindows::showAbout()
{
    setTaskbarPresence(TaskbarPresence::Taskbar);
    (new AboutBox)->open();
}

void ProgramWindows::setTaskbarPresence(TaskbarPresence newPresence)
{
    if (presence == newPresence)
        return;
    presence = newPresence;
    emit taskbarPresenceChanged();
}
