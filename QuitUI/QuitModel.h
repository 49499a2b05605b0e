#pragma once

#include "AppEntry.h"
#include "AppRows.h"
#include "FootprintPass.h"
#include "KnownFootprints.h"
#include "Phase.h"
#include "PlanSummary.h"
#include "QuitPlan.h"
#include "QuitPreset.h"
#include "Quitter.h"
#include "ResultSummary.h"
#include "Workspace.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <memory>
#include <optional>

class ProcessInfo;
class SettingsStore;

/// The state behind a list of apps to quit: the apps shown, the chosen preset, the apps the user
/// keeps and the phase of the quit. Computes the plan, runs the quit (or pretends to) and
/// remembers the preset and the kept apps in a settings store. Main thread only.
///
/// Lifetime: the workspace, the process information and the store must outlive the model and every
/// quit it started; the model itself may go at any time, a running quit then ends without it.
class QuitModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("A model is made by the program, over its workspace and settings.")
    // The face the views bind to; C++ uses the typed functions below.
    Q_PROPERTY(AppRows* rows READ rows CONSTANT)
    Q_PROPERTY(QuitPreset::Value preset READ presetValue WRITE setPresetValue NOTIFY presetChanged)
    Q_PROPERTY(QStringList keep READ keepForView NOTIFY keepChanged)
    Q_PROPERTY(Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(PlanSummary plan READ planSummary NOTIFY planChanged)
    Q_PROPERTY(ResultSummary result READ resultSummary NOTIFY resultChanged)
    Q_PROPERTY(bool simulate READ simulate NOTIFY simulateChanged)
    Q_PROPERTY(QString mainButtonCaption READ mainButtonCaption NOTIFY mainButtonChanged)
    Q_PROPERTY(bool mainButtonEnabled READ mainButtonEnabled NOTIFY mainButtonChanged)
    Q_PROPERTY(QString choicesProblem READ choicesProblem NOTIFY choicesProblemChanged)

public:
    using InUseProvider = std::function<QSet<pid_t>()>;

    /// Reads the preset and the kept apps from `defaults`; the list stays empty until refresh().
    QuitModel(Workspace& workspace, const ProcessInfo& processes, SettingsStore& defaults,
              QObject* parent = nullptr);
    ~QuitModel() override;

    /// The live model that `iconSource` URLs with this serial point at; null once it is gone.
    static QuitModel* withSerial(quint64 serial);

    /// The apps shown.
    const QList<AppEntry>& apps() const { return appList; }
    /// Every assignment is stored under "QuitPreset", also one that changes nothing.
    QuitPreset preset() const { return currentPreset; }
    void setPreset(QuitPreset preset);
    /// Keys of the apps the user unticked.
    const QSet<QString>& keep() const { return kept; }
    /// When the stored choices could not be read, the kept apps are unknown: then every app
    /// stays unticked until the user ticks it, so none the user keeps is quit by mistake.
    bool choicesUnread() const { return unread; }
    /// Why the preset and kept apps could not be read or saved, for the user; empty when fine.
    QString choicesProblem() const;
    Phase phase() const { return currentPhase; }
    void setPhase(const Phase& phase);

    /// Apps whose identifier is listed here are never shown.
    const QSet<QString>& neverOffered() const { return offeredNever; }
    void setNeverOffered(const QSet<QString>& identifiers) { offeredNever = identifiers; }
    /// When set, refresh() shows these apps instead of the running ones.
    const std::optional<QList<AppEntry>>& fixedApps() const { return fixed; }
    void setFixedApps(const std::optional<QList<AppEntry>>& apps) { fixed = apps; }
    /// When true, quitAll() only pretends.
    bool simulate() const { return pretend; }
    void setSimulate(bool on);
    /// Pids counted as using the camera or microphone, asked afresh for every plan.
    void setInUse(InUseProvider provider) { inUse = std::move(provider); }
    /// How long a real quit waits for the apps, in seconds; 12 unless a test shortens it.
    void setQuitTimeout(double seconds) { quitTimeout = seconds; }

    /// Reloads the list (measured, or the fixed apps) and returns to ready unless done.
    Q_INVOKABLE void refresh();
    /// As refresh(), but the list comes at once with quick figures (those known from the last
    /// exact pass over the same processes, else the kernel's counters), largest first; the exact
    /// figures replace them as a pass off the main thread finishes. They reorder the list only
    /// while nobody has touched it.
    Q_INVOKABLE void refreshInBackground();
    /// Whether exact figures are still being read for the list.
    bool measuring() const { return pass != nullptr; }
    /// Stops reading exact figures; the quick ones stay.
    void stopMeasuring() { pass.reset(); }
    /// The user acted on the list: from now on the exact figures leave the order as it is, so no
    /// row moves under the pointer.
    void touched() { orderFrozen = true; }
    /// Where the figures of earlier lists are kept, shared with other models; one of its own
    /// unless set.
    void setKnownFootprints(std::shared_ptr<KnownFootprints> known)
    {
        footprints = std::move(known);
    }
    /// The current split of the list into apps to quit and apps kept, computed afresh.
    QuitPlan plan() const;
    bool willQuit(const AppEntry& app) const;
    /// Ticks (`will`) or unticks the app and stores the kept apps under "QuitKeep".
    void setWillQuit(const AppEntry& app, bool will);
    /// The app's icon at 32 × 32, looked up once per pid.
    QPixmap icon(const AppEntry& app);

    /// Quits the plan's apps (or pretends to), moving through the phases; ends with done.
    QCoro::Task<> quitAll();
    /// Starts those of the given apps again, in the background, that have a program to start.
    void reopen(const QList<AppEntry>& apps);
    /// Whether the app's desktop entry names a program to start it again with.
    bool canReopen(const AppEntry& app) const;
    /// Kills one still-open app. When done, the report counts it as closed once its process has
    /// ended (as with any app still open that ends); a refused kill is noted on its row.
    void forceQuit(const AppEntry& app);

    // What the views call, naming apps by pid; a pid no longer listed is ignored.
    Q_INVOKABLE void setWillQuit(int pid, bool will);
    /// Starts quitAll() without waiting for it; the views follow the phase.
    Q_INVOKABLE void startQuitAll();
    /// Reopens the closed apps once; the result then offers it no more.
    Q_INVOKABLE void reopenClosed();
    /// Brings a still-open app forward; nothing when it has gone meanwhile.
    Q_INVOKABLE void show(int pid);
    Q_INVOKABLE void forceQuit(int pid);
    /// Leaves the result: back to ready with a fresh list.
    Q_INVOKABLE void finish();

    /// The image URL the app icon provider serves this app's icon under.
    QString iconSource(pid_t pid) const;
    /// The listed or reported app with this pid.
    std::optional<AppEntry> appWithPid(pid_t pid) const;
    AppRows* rows() { return appRows; }
    PlanSummary planSummary() const { return PlanSummary(plan()); }
    ResultSummary resultSummary() const;
    QString mainButtonCaption() const;
    bool mainButtonEnabled() const;

signals:
    void appsChanged();
    /// The listed apps' figures changed, their order did not.
    void figuresChanged();
    void presetChanged();
    void keepChanged();
    void phaseChanged();
    /// Whenever what the result view shows changes: the phase, or a reopen.
    void resultChanged();
    /// Whenever the apps, the preset or the kept apps change.
    void planChanged();
    void simulateChanged();
    void mainButtonChanged();
    /// After every write of the preset or the kept apps, which may have failed or succeeded.
    void choicesProblemChanged();
    /// Apps were just started again; their windows are yet to appear.
    void appsStarting();

private:
    QuitPreset::Value presetValue() const { return currentPreset.value(); }
    void setPresetValue(QuitPreset::Value value) { setPreset(value); }
    QStringList keepForView() const;
    // The apps kept from quitting: the user's, and while the choices are unread, every app the
    // user did not tick.
    QSet<QString> keptNow() const;
    void setApps(const QList<AppEntry>& apps);
    void measured(const QHash<pid_t, QList<ProcessRecord>>& owned,
                  const FootprintPass::Footprints& read);
    std::optional<QString> desktopFileOf(const AppEntry& app) const;
    // Follows the apps the result shows still open while there are any, so each moves to the
    // closed ones when it ends.
    void followStillOpen();
    void stillOpenEnded(pid_t pid);

    static QCoro::Task<> pretendQuit(QPointer<QuitModel> model, QList<AppEntry> targets);
    static QCoro::Task<> realQuit(QPointer<QuitModel> model, Quitter quitter,
                                  QList<AppEntry> targets, double timeout);

    Workspace& workspace;
    const ProcessInfo& processes;
    SettingsStore& defaults;
    Quitter quitter;

    QList<AppEntry> appList;
    QuitPreset currentPreset;
    QSet<QString> kept;
    bool unread;
    QSet<QString> tickedWhileUnread; // keys the user ticked while the stored choices are unread
    Phase currentPhase;
    InUseProvider inUse = [] { return QSet<pid_t>(); };
    QSet<QString> offeredNever;
    std::optional<QList<AppEntry>> fixed;
    bool pretend = false;
    double quitTimeout = 12.0;
    QHash<pid_t, QPixmap> icons;
    mutable QHash<QString, bool> launchable; // by desktop file, looked up once
    bool reopened = false;                   // the shown result's apps were started again
    std::optional<Workspace::ObserverToken> stillOpenWatch;
    std::shared_ptr<KnownFootprints> footprints = std::make_shared<KnownFootprints>();
    std::unique_ptr<FootprintPass> pass;
    bool orderFrozen = false;
    bool listsInBackground = false; // the list was last made by refreshInBackground()
    quint64 serial;
    AppRows* appRows;
};
