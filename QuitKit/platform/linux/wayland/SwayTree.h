#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

// One window of sway's tree: what its IPC says about the client that drew it.
struct SwayWindow {
    pid_t pid = 0;
    QString appId; // the Wayland app id; an Xwayland window's WM_CLASS class
    QString title;
    bool xwayland = false;

    friend bool operator==(const SwayWindow&, const SwayWindow&) = default;
};

// Reads sway's answer to GET_TREE (i3-compatible JSON).
namespace SwayTree
{

// Every window in the tree, tiled, floating or in the scratchpad; none for text that is not a
// tree.
QList<SwayWindow> windows(const QByteArray& json);

} // namespace SwayTree
