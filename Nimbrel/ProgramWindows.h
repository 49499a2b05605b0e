#pragma once

#include "NimbrelWindow.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QVariantMap>

#include <memory>

class MenuTarget;
class QMenuBar;
class ShellEngine;

/// The program window (settings or tutorial, one at a time) under its copy of the program's menu
/// bar, the About box, and whether the program shows in the taskbar. Main thread only.
class ProgramWindows : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TaskbarPresence taskbarPresence READ taskbarPresence NOTIFY taskbarPresenceChanged)

public:
    /// In the taskbar while a program window or the About box is up; in the tray only once no
    /// program window is left.
    enum class TaskbarPresence { TrayOnly, Taskbar };
    Q_ENUM(TaskbarPresence)

    /// The menu bars' items call `menus`; the windows' views come from `engine` and get `shell`
    /// as their "shell" property. All must outlive it.
    ProgramWindows(MenuTarget& menus, QObject* shell, ShellEngine& engine,
                   QObject* parent = nullptr);
    ~ProgramWindows() override;

    TaskbarPresence taskbarPresence() const { return presence; }
    /// The program window now or last shown; null before the first.
    NimbrelWindow* window() const { return programWindow; }
    /// The program's menu bar; program windows show copies of it.
    QMenuBar* menuBar() const { return programMenu.get(); }
    /// The program window when it is on screen.
    QList<QWidget*> shown() const;

    /// Shows `component` of the shell's QML module in the program window, replacing what was
    /// there, with `properties` set on it, `units` large (see Units: it follows the desktop's
    /// font).
    void show(const QString& title, QSize units, const QString& component,
              const QVariantMap& properties = {});
    void showSettings();
    void showAbout();
    /// Takes the program window off the screen; it stays the program window.
    void hide();

signals:
    void taskbarPresenceChanged();
    /// `closing` is closing, however it was closed.
    void windowClosing(NimbrelWindow* closing);

private:
    void setTaskbarPresence(TaskbarPresence presence);

    MenuTarget& menus;
    QObject* shell;
    ShellEngine& engine;
    std::unique_ptr<QMenuBar> programMenu;
    QPointer<NimbrelWindow> programWindow;
    TaskbarPresence presence = TaskbarPresence::TrayOnly;
};
