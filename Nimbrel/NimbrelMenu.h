#pragma once

class MenuTarget;
class QMenu;
class QMenuBar;
class QWidget;

// The tray program's menus, built afresh on every call. Their items call `target`, which must
// outlive them.
namespace NimbrelMenu
{

// The application, Edit, Window and Help menus. Their keys work while a window showing the bar
// is active.
QMenuBar* build(MenuTarget& target, QWidget* parent = nullptr);

// The tray item's menu.
QMenu* statusMenu(MenuTarget& target, QWidget* parent = nullptr);

} // namespace NimbrelMenu
