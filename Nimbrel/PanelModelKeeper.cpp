#include "PanelModelKeeper.h"

#include "QuitModel.h"

PanelModelKeeper::PanelModelKeeper(ModelFactory create_, std::chrono::milliseconds resultLifetime,
                                   QObject* parent)
    : QObject(parent), create(std::move(create_))
{
    resultExpiry.setSingleShot(true);
    resultExpiry.setInterval(resultLifetime);
    // No window shows the model now: nothing refers to it but this.
    connect(&resultExpiry, &QTimer::timeout, this, [this] { model.reset(); });
}

PanelModelKeeper::~PanelModelKeeper() = default;

QuitModel& PanelModelKeeper::opened()
{
    panelOpen = true;
    resultExpiry.stop();
    if (!model) {
        model = create();
        // A quit that ends while the panel is closed starts the result's time.
        connect(model.get(), &QuitModel::phaseChanged, this, &PanelModelKeeper::keepWhileWorthIt);
    }
    return *model;
}

void PanelModelKeeper::closed(QObject& panelWindow)
{
    panelOpen = false;
    // Figures no one will see: the next opening reads them afresh.
    if (model)
        model->stopMeasuring();
    if (model && model->phase().isReady()) {
        disconnect(model.get(), nullptr, this, nullptr);
        model.release()->setParent(&panelWindow);
        return;
    }
    keepWhileWorthIt();
}

void PanelModelKeeper::keepWhileWorthIt()
{
    if (panelOpen || !model || !model->phase().isDone() || resultExpiry.isActive())
        return;
    resultExpiry.start();
}
