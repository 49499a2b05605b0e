#pragma once

// Desktop tests run their whole session as an ordinary user, as a real desktop does: the
// compositor, the apps, and the program under test (this process, and what it starts). What
// root may do that a user may not (read another user's /proc entries, use a runtime folder it
// does not own, pass a compositor's checks) then shows as it would for users.
namespace DesktopUser
{

// The user the sessions run as: nobody, as Debian numbers it.
constexpr unsigned userId = 65534;

// Whether becomeUnprivileged() would run this test as that user.
bool dropsRoot();

// Called first thing in a test's initMain(): as root, runs this test again as the user nobody
// in place of this process (same arguments, a fresh HOME, no runtime folder or session bus of
// root's); as anyone else, returns. Setting NIMBREL_TESTS_AS_ROOT=1 keeps root.
void becomeUnprivileged();

} // namespace DesktopUser
