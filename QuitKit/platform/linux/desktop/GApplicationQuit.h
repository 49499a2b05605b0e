#pragma once

#include <QString>

#include <functional>
#include <sys/types.h>

class QObject;

// The quit an app built on GApplication offers itself: its "quit" action over D-Bus
// (org.gtk.Actions), the same path its own Quit menu item takes.
namespace GApplicationQuit
{

// Asks the app at `busName`/`objectPath` to quit through its action when the process owning
// that bus name is one `isAppProcess` accepts and it exports an enabled "quit" that takes no
// parameter. Returns at once; `done` runs once on `context`'s thread, with true when the action
// was activated and false when the app must be asked another way. Dropped when `context` is gone.
void request(const QString& busName, const QString& objectPath,
             std::function<bool(pid_t)> isAppProcess, QObject* context,
             std::function<void(bool activated)> done);

} // namespace GApplicationQuit
