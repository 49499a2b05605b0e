#include "PanelView.h"

#include "QuitModel.h"
#include "Units.h"

#include <QQuickView>

namespace PanelView
{

QSize size()
{
    const Units* units = Units::instance();
    return QSize(int(units->panelWidth()), int(units->size(470)));
}

bool load(QQuickView& view, QuitModel& model, QObject* shell, bool rounded)
{
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setInitialProperties({{QStringLiteral("model"), QVariant::fromValue(&model)},
                               {QStringLiteral("shell"), QVariant::fromValue(shell)},
                               {QStringLiteral("rounded"), rounded}});
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Nimbrel/Shell/NimbrelPanel.qml")));
    return view.status() == QQuickView::Ready;
}

} // namespace PanelView
