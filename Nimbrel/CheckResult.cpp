#include "CheckResult.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace CheckResult
{

QString text(const QStringList& passes, const QStringList& failures)
{
    QString result;
    for (const QString& failure : failures)
        result += QStringLiteral("FAIL ") + failure + QLatin1Char('\n');
    for (const QString& pass : passes)
        result += pass + QLatin1Char('\n');
    result += failures.isEmpty() ? QStringLiteral("ok\n") : QStringLiteral("FAILED\n");
    return result;
}

QAction* find(const QString& title, const QWidget& menu)
{
    QList<QAction*> toVisit = menu.actions();
    while (!toVisit.isEmpty()) {
        QAction* item = toVisit.takeLast();
        if (item->text() == title)
            return item;
        if (const QMenu* submenu = item->menu())
            toVisit.append(submenu->actions());
    }
    return nullptr;
}

} // namespace CheckResult
