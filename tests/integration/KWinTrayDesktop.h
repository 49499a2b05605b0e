#pragma once

#include "KWinSession.h"
#include "TrayDesktop.h"

// The tray program's desktop on a KWin on a virtual output, seen through Plasma's window list and
// typed on through KWin's fake input.
class KWinTrayDesktop : public TrayDesktop
{
public:
    std::optional<QString> start() override;
    bool showsPanel(pid_t program) override;
    std::optional<QString> press(Key key) override;
    std::optional<int> otherWindowCount(pid_t program) override;
    bool openAnotherWindow() override;
    void stopApps() override { kwin.apps().stopAll(); }

private:
    KWinSession kwin;
};
