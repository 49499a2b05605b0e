#pragma once

#include <QObject>

#include <memory>

class NimbrelWindow;
class ProcessInfo;
class ProgramWindows;
class QuitModel;
class SettingsStore;
class Workspace;

/// The tutorial and what its first showing leads to: a new user is greeted with it, and once it
/// has been seen, however its window was closed, the program opens at login; that is turned on
/// once only, so a user who turns it off keeps it off. Main thread only.
class FirstRun : public QObject
{
    Q_OBJECT

public:
    /// Shows the tutorial in `windows`, over made-up apps that `workspace` and `processes` are
    /// never asked to quit, and remembers it as seen in `store`. All must outlive it.
    FirstRun(ProgramWindows& windows, Workspace& workspace, const ProcessInfo& processes,
             SettingsStore& store, QObject* parent = nullptr);

    /// At a usual launch: the tutorial for a new user, else login turned on once.
    void greet();
    bool tutorialSeen() const;
    void showTutorial();
    /// The tutorial has been seen: login is turned on once and its window closes.
    void finishTutorial();
    /// A model that only pretends to quit, over the tutorial's made-up apps; its ticks go to
    /// `ticks`, which must outlive it.
    std::unique_ptr<QuitModel> sampleModel(SettingsStore& ticks);

private:
    // Marks the tutorial seen and closes the program window unless it is `closing` already.
    void markSeen(const NimbrelWindow* closing);
    void turnOnLoginOnce();

    ProgramWindows& windows;
    Workspace& workspace;
    const ProcessInfo& processes;
    SettingsStore& store;
};
