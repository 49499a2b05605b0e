#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class QuitModel;

/// The model behind the tray panel across its openings. A panel that closes takes its model
/// along, unless the model holds a quit that still runs or a result not yet dismissed with Done:
/// the next opening shows that again. A result left unseen for a while with the panel closed
/// goes, and the next opening starts afresh. Main thread only.
class PanelModelKeeper : public QObject
{
    Q_OBJECT

public:
    using ModelFactory = std::function<std::unique_ptr<QuitModel>()>;

    /// `create` makes the model of a fresh opening; a finished result stays `resultLifetime`
    /// while the panel is closed.
    explicit PanelModelKeeper(ModelFactory create,
                              std::chrono::milliseconds resultLifetime = std::chrono::minutes(1),
                              QObject* parent = nullptr);
    ~PanelModelKeeper() override;

    /// The model for a panel now opening: the one kept, else a new one.
    QuitModel& opened();
    /// The panel showing the model closed: its exact figures are read no further. A model not
    /// worth keeping becomes a child of `panelWindow` and goes with it, so the window's view
    /// never outlives what it shows.
    void closed(QObject& panelWindow);
    /// Whether the next opening shows the model of an earlier one.
    bool keepsModel() const { return model != nullptr; }

private:
    void keepWhileWorthIt();

    ModelFactory create;
    std::unique_ptr<QuitModel> model;
    QTimer resultExpiry;
    bool panelOpen = false;
};
