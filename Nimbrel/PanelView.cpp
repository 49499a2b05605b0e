#include "PanelView.h"

#include "QuitModel.h"
#include "Units.h"

#include <QQuickItem>
#include <QQuickView>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{

// The panel's height, in units, when what it shows needs no more.
constexpr qreal usualHeight = 470;

} // namespace

namespace PanelView
{

QSize size(const QQuickView& view, QSize room)
{
    const Units* units = Units::instance();
    const QQuickItem* root = view.rootObject();
    const qreal needed = root ? std::ceil(root->implicitHeight()) : 0;
    const int height = int(std::max(units->size(usualHeight), needed));
    return QSize(int(units->panelWidth()), std::min(height, room.height()));
}

void followContent(QQuickView& view, QSize room, std::function<void(QSize)> fit)
{
    QQuickItem* root = view.rootObject();
    if (!root)
        return;
    const auto refit = [&view, room, fit = std::move(fit)] { fit(size(view, room)); };
    QObject::connect(root, &QQuickItem::implicitHeightChanged, &view, refit);
    QObject::connect(Units::instance(), &Units::changed, &view, refit);
}

void fitToContent(QQuickView& view)
{
    const QScreen* screen = view.screen();
    constexpr int unlimited = std::numeric_limits<int>::max();
    const QSize room = screen ? screen->availableSize() : QSize(unlimited, unlimited);
    view.resize(size(view, room));
    followContent(view, room, [&view](QSize fitting) { view.resize(fitting); });
}

bool load(QQuickView& view, QuitModel& model, QObject* shell, bool rounded)
{
    // At the panel's width from the start: its content's height depends on where lines wrap.
    view.resize(int(Units::instance()->panelWidth()), int(Units::instance()->size(usualHeight)));
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.setInitialProperties({{QStringLiteral("model"), QVariant::fromValue(&model)},
                               {QStringLiteral("shell"), QVariant::fromValue(shell)},
                               {QStringLiteral("rounded"), rounded}});
    view.setSource(QUrl(QStringLiteral("qrc:/qt/qml/Nimbrel/Shell/NimbrelPanel.qml")));
    return view.status() == QQuickView::Ready;
}

} // namespace PanelView
