#include "SwayTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace
{

void collect(const QJsonObject& node, QList<SwayWindow>& windows)
{
    // Only windows carry a pid; outputs, workspaces and split containers do not.
    if (node.contains(QLatin1String("pid"))) {
        SwayWindow window;
        window.pid = pid_t(node.value(QLatin1String("pid")).toInteger());
        window.title = node.value(QLatin1String("name")).toString();
        window.xwayland =
            node.value(QLatin1String("shell")).toString() == QLatin1String("xwayland");
        window.appId = window.xwayland ? node.value(QLatin1String("window_properties"))
                                             .toObject()
                                             .value(QLatin1String("class"))
                                             .toString()
                                       : node.value(QLatin1String("app_id")).toString();
        windows.append(window);
    }
    for (const char* children : {"nodes", "floating_nodes"}) {
        for (const QJsonValue child : node.value(QLatin1String(children)).toArray())
            collect(child.toObject(), windows);
    }
}

} // namespace

QList<SwayWindow> SwayTree::windows(const QByteArray& json)
{
    QList<SwayWindow> windows;
    collect(QJsonDocument::fromJson(json).object(), windows);
    return windows;
}
