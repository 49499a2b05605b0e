#pragma once

// Makes the program's open pop-up menus part of its accessibility tree. Qt leaves pop-ups out
// of the application's children, so a menu opened on its own (the status menu where no tray
// host shows it) could not be found by a screen reader or a tool walking the tree; within a menu
// bar it is found through the bar.
namespace MenuAccessibility
{

/// Call once, before the application object exists.
void install();

} // namespace MenuAccessibility
