#pragma once

#include <QString>

#include <functional>

class QObject;

// The quit an app built on GApplication offers itself: its "quit" action over D-Bus
// (org.gtk.Actions), the same path its own Quit menu item takes.
namespace GApplicationQuit
{

// Asks the app at `busName`/`objectPath` to quit through its action when it exports an enabled
// "quit" that takes no parameter; otherwise, or when the call fails, runs `otherwise`. Returns
// at once; the answer is handled on `context`'s thread and dropped when `context` is gone.
void request(const QString& busName, const QString& objectPath, QObject* context,
             std::function<void()> otherwise);

} // namespace GApplicationQuit
