#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QWidget;

// The pieces of the self-checks that need no running program: result files and menu look-up.
namespace CheckResult
{

/// The result file's text: "FAIL " lines in the order found, then the pass lines, then "FAILED"
/// or "ok", each line ending in a line feed.
QString text(const QStringList& passes, const QStringList& failures);
/// The first item titled exactly `title` in `menu` or its submenus, to any depth; null when none.
/// Items are visited from a list that takes its last entry each time and appends the submenu's
/// items of each item visited.
QAction* find(const QString& title, const QWidget& menu);

} // namespace CheckResult
