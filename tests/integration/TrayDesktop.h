#pragma once

#include "ProgramAccessibility.h"

#include <QProcessEnvironment>
#include <QString>

#include <memory>
#include <optional>
#include <sys/types.h>

// A Wayland desktop the tray program is tested on: its compositor, and how a test sees the
// program's windows and the focus there, presses a key and moves the focus elsewhere. The
// program's windows and focus are its own view, over the accessibility bus; where the panel
// shows is the compositor's.
class TrayDesktop
{
public:
    // Windows, keys and focus changes reach the compositor within this (ms) on a loaded machine.
    static constexpr int showTimeout = 30000;

    virtual ~TrayDesktop() = default;

    // "sway", "kwin" or "mutter"; nullptr for any other name.
    static std::unique_ptr<TrayDesktop> named(const QString& name);

    // Starts the compositor; nothing when it is up, else what is missing or failed.
    virtual std::optional<QString> start() = 0;
    // The environment of a program on this desktop whose session bus is `busAddress`.
    virtual QProcessEnvironment programEnvironment(const QString& busAddress)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        accessibility.prepare(environment, busAddress);
        return environment;
    }
    // Whether `program` shows its panel, looking as it should on this desktop.
    virtual bool showsPanel(pid_t program) = 0;
    // How many windows the program shows, its panel included.
    int windowCount() const { return int(accessibility.shownWindows().size()); }
    bool panelHasFocus() const { return accessibility.isActive(QStringLiteral("Nimbrel")); }
    enum class Key { escape, enter, space };
    // Presses and releases `key` in the focused window; nothing when sent, else why not.
    virtual std::optional<QString> press(Key key) = 0;
    // Whether the panel sits on the compositor's layer shell, from where it can take the
    // keyboard back from a new window.
    virtual bool hasLayerShell() const { return true; }
    // Why no other window can take the focus from the panel here; nothing where one can.
    virtual std::optional<QString> keepsFocusOnPanel() const { return std::nullopt; }
    // How many windows the other apps show, as the compositor lists them; nothing where it lists
    // them to no one.
    virtual std::optional<int> otherWindowCount(pid_t program) = 0;
    // Moves the keyboard focus to the program's button whose name starts with `name`, as a screen
    // reader user would; false while the program shows no such button.
    bool focusButton(const QString& name) const { return accessibility.focus(name); }
    // Opens another app's window, which takes the focus; false when it did not start.
    virtual bool openAnotherWindow() = 0;
    // Ends the apps openAnotherWindow() started, and closes the windows of apps the program
    // started.
    virtual void stopApps() = 0;

protected:
    bool panelIsShownToProgram() const
    {
        return !accessibility.shownWindows(QStringLiteral("Nimbrel")).isEmpty();
    }

    ProgramAccessibility accessibility;
};
