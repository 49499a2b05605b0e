#pragma once

#include "MutterSession.h"
#include "TrayDesktop.h"

#include <QList>
#include <QProcess>

// The tray program's desktop on a headless mutter, where the panel is an ordinary window. mutter
// lists its windows to no other program, so that is the program's word; keys are pressed through
// mutter's remote desktop service.
class MutterTrayDesktop : public TrayDesktop
{
public:
    ~MutterTrayDesktop() override;

    std::optional<QString> start() override;
    bool showsPanel(pid_t) override { return panelIsShownToProgram(); }
    std::optional<QString> press(Key key) override;
    bool hasLayerShell() const override { return false; }
    // mutter lists its windows to no one.
    std::optional<int> otherWindowCount(pid_t) override { return std::nullopt; }
    bool openAnotherWindow() override;
    void stopApps() override;

private:
    // Presses and releases the key of X keysym `keysym`; nothing when mutter took it, else why not.
    std::optional<QString> tap(uint keysym) const;

    MutterSession mutter;
    QString remoteDesktop;
    QList<QProcess*> others;
};
