#include "QuitModel.h"

#include "AppIconImage.h"
#include "GenericAppIcon.h"
#include "MainThread.h"
#include "ProcessMemory.h"
#include "QuitPlanner.h"
#include "RunningApps.h"
#include "SampleApps.h"
#include "SettingsStore.h"
#include "StoredChoices.h"
#include "TotalMemory.h"
#include "ViewText.h"
#include "Workspace.h"

#include <QCoroTimer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <chrono>

namespace
{

constexpr std::chrono::milliseconds pretendStep{140};
constexpr QSize iconSize{32, 32};

// The icon drawn on a transparent square of the list's icon size, sharp on the current screen.
QPixmap listIcon(const QIcon& icon)
{
    const qreal ratio = qGuiApp->devicePixelRatio();
    QPixmap canvas(iconSize * ratio);
    canvas.setDevicePixelRatio(ratio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    icon.paint(&painter, QRect(QPoint(), iconSize));
    return canvas;
}

// Models by serial, so icon URLs never reach a model that has gone. Main thread only.
QHash<quint64, QuitModel*>& liveModels()
{
    static QHash<quint64, QuitModel*> models;
    return models;
}

quint64 nextSerial = 1;

// The entry of `apps` with this pid; null when none has it.
const AppEntry* withPid(const QList<AppEntry>& apps, pid_t pid)
{
    const auto found = std::find_if(apps.cbegin(), apps.cend(),
                                    [pid](const AppEntry& app) { return app.pid == pid; });
    return found == apps.cend() ? nullptr : &*found;
}

} // namespace

QuitModel::QuitModel(Workspace& workspace_, const ProcessInfo& processes_, SettingsStore& defaults_,
                     QObject* parent)
    : QObject(parent), workspace(workspace_), processes(processes_), defaults(defaults_),
      quitter(workspace_), currentPreset(StoredChoices::preset(defaults_)),
      kept(StoredChoices::keep(defaults_)), unread(defaults_.readProblem().has_value()),
      serial(nextSerial++), appRows(new AppRows(*this))
{
    liveModels().insert(serial, this);
    for (auto changed : {&QuitModel::appsChanged, &QuitModel::figuresChanged,
                         &QuitModel::presetChanged, &QuitModel::keepChanged})
        connect(this, changed, this, &QuitModel::planChanged);
    for (auto changed :
         {&QuitModel::planChanged, &QuitModel::phaseChanged, &QuitModel::simulateChanged})
        connect(this, changed, this, &QuitModel::mainButtonChanged);
    for (auto changed : {&QuitModel::phaseChanged, &QuitModel::simulateChanged})
        connect(this, changed, this, &QuitModel::resultChanged);
}

QuitModel::~QuitModel()
{
    liveModels().remove(serial);
    if (stillOpenWatch)
        workspace.removeTerminationObserver(*stillOpenWatch);
}

QuitModel* QuitModel::withSerial(quint64 serial)
{
    return liveModels().value(serial);
}

void QuitModel::setSimulate(bool on)
{
    pretend = on;
    emit simulateChanged();
}

void QuitModel::setPreset(QuitPreset preset)
{
    orderFrozen = true;
    currentPreset = preset;
    StoredChoices::setPreset(defaults, preset);
    emit presetChanged();
    emit choicesProblemChanged();
}

void QuitModel::setPhase(const Phase& phase)
{
    if (!phase.isDone())
        reopened = false;
    currentPhase = phase;
    followStillOpen();
    emit phaseChanged();
}

void QuitModel::followStillOpen()
{
    const std::optional<Quitter::Report> report = currentPhase.report();
    const bool wanted = report && !report->stillOpen.isEmpty();
    if (wanted == stillOpenWatch.has_value())
        return;
    if (!wanted) {
        workspace.removeTerminationObserver(*std::exchange(stillOpenWatch, std::nullopt));
        return;
    }
    stillOpenWatch = workspace.addTerminationObserver([this](pid_t pid) { stillOpenEnded(pid); });
    // Apps that ended before there was anyone to hear of it.
    for (const AppEntry& app : report->stillOpen) {
        if (Quitter::hasGone(workspace, app.pid))
            QMetaObject::invokeMethod(
                this, [this, pid = app.pid] { stillOpenEnded(pid); }, Qt::QueuedConnection);
    }
}

void QuitModel::stillOpenEnded(pid_t pid)
{
    std::optional<Quitter::Report> report = currentPhase.report();
    if (report && report->markClosed(pid))
        setPhase(Phase::done(*report));
}

void QuitModel::setApps(const QList<AppEntry>& apps)
{
    appList = apps;
    emit appsChanged();
}

void QuitModel::refresh()
{
    listsInBackground = false;
    stopMeasuring();
    setApps(fixed ? *fixed : RunningApps::snapshot(workspace, processes, true, offeredNever));
    if (currentPhase.kind() != Phase::Done)
        setPhase(Phase::ready());
}

void QuitModel::refreshInBackground()
{
    if (fixed)
        return refresh();
    listsInBackground = true;
    stopMeasuring();
    QList<AppEntry> apps = RunningApps::snapshot(workspace, processes, false, offeredNever);
    QSet<pid_t> pids;
    for (const AppEntry& app : apps) {
        if (app.pid > 0)
            pids.insert(app.pid);
    }
    // Attributing processes reads only their records; the footprints are what takes long.
    const QHash<pid_t, QList<ProcessRecord>> owned = ProcessMemory::owned(processes, pids);
    for (AppEntry& app : apps)
        app.memory = footprints->quickTotal(processes, owned.value(app.pid));
    RunningApps::sortLargestFirst(apps);
    orderFrozen = false;
    setApps(apps);
    if (currentPhase.kind() != Phase::Done)
        setPhase(Phase::ready());

    // The largest apps first, so the pass's two threads share them.
    QList<ProcessRecord> toRead;
    for (const AppEntry& app : std::as_const(appList))
        toRead.append(owned.value(app.pid));
    pass = std::make_unique<FootprintPass>(
        processes, toRead,
        [this, owned](const FootprintPass::Footprints& read) { measured(owned, read); }, this);
}

void QuitModel::measured(const QHash<pid_t, QList<ProcessRecord>>& owned,
                         const FootprintPass::Footprints& read)
{
    // The pass is still returning from this call; it goes once the call has.
    pass.release()->deleteLater();
    footprints->replace(read);
    QList<AppEntry> apps = appList;
    for (AppEntry& app : apps) {
        const auto processesOfApp = owned.constFind(app.pid);
        if (processesOfApp == owned.constEnd())
            continue;
        app.memory = 0;
        for (const ProcessRecord& process : *processesOfApp)
            app.memory += read.value(process.key());
    }
    if (!orderFrozen)
        RunningApps::sortLargestFirst(apps);
    const bool reordered =
        !std::equal(apps.cbegin(), apps.cend(), appList.cbegin(), appList.cend(),
                    [](const AppEntry& a, const AppEntry& b) { return a.pid == b.pid; });
    if (reordered) {
        setApps(apps);
        return;
    }
    appList = apps;
    emit figuresChanged();
}

QuitPlan QuitModel::plan() const
{
    return QuitPlanner::plan(appList, currentPreset, keptNow(), inUse());
}

bool QuitModel::willQuit(const AppEntry& app) const
{
    // The plan would hold this very entry: listed, and quit under the current choices.
    return appList.contains(app) && QuitPlanner::quits(app, currentPreset, keptNow(), inUse());
}

void QuitModel::setWillQuit(const AppEntry& app, bool will)
{
    orderFrozen = true;
    if (will) {
        kept.remove(app.key());
        if (unread)
            tickedWhileUnread.insert(app.key());
    } else {
        kept.insert(app.key());
        tickedWhileUnread.remove(app.key());
    }
    StoredChoices::setKeep(defaults, kept);
    emit keepChanged();
    emit choicesProblemChanged();
}

std::optional<QString> QuitModel::desktopFileOf(const AppEntry& app) const
{
    if (app.desktopFile)
        return app.desktopFile;
    if (app.desktopId)
        return workspace.installedDesktopFile(*app.desktopId);
    return std::nullopt;
}

QPixmap QuitModel::icon(const AppEntry& app)
{
    const auto cached = icons.constFind(app.pid);
    if (cached != icons.constEnd())
        return *cached;
    QIcon found;
    // The tutorial's made-up apps have drawings of their own, whatever is installed.
    if (const auto sample = SampleApps::iconFile(app); sample && fixed)
        found = AppIconImage::of(AppIcon::inFile(*sample));
    if (const auto place = desktopFileOf(app); found.isNull() && place)
        found = AppIconImage::of(workspace.desktopFileIcon(*place));
    // Apps without a desktop file still put their own icon on their windows.
    if (found.isNull())
        found = AppIconImage::of(workspace.windowIcon(app.pid));
    if (found.isNull())
        found = GenericAppIcon::icon();
    const QPixmap image = listIcon(found);
    icons.insert(app.pid, image);
    return image;
}

QCoro::Task<> QuitModel::quitAll()
{
    requireMainThread("QuitModel::quitAll");
    orderFrozen = true;
    const QList<AppEntry> targets = plan().toQuit;
    if (targets.isEmpty())
        co_return;
    setPhase(Phase::quitting(0, int(targets.size())));
    // The model may be gone once a run suspends: runs hold it weakly and nothing here follows.
    // Named, not awaited as a temporary: g++ 12 destroys temporaries of co_await twice.
    QCoro::Task<> run =
        pretend ? pretendQuit(this, targets) : realQuit(this, quitter, targets, quitTimeout);
    co_await run;
}

QCoro::Task<> QuitModel::pretendQuit(QPointer<QuitModel> model, QList<AppEntry> targets)
{
    Quitter::Report report;
    for (const AppEntry& target : targets) {
        QCoro::Task<> step = QCoro::sleepFor(pretendStep);
        co_await step;
        if (!model)
            co_return;
        report.closed.append(target);
        model->setPhase(Phase::quitting(int(report.closed.size()), int(targets.size())));
    }
    model->setPhase(Phase::done(report));
}

QCoro::Task<> QuitModel::realQuit(QPointer<QuitModel> model, Quitter quitter,
                                  QList<AppEntry> targets, double timeout)
{
    const int total = int(targets.size());
    const Quitter::ProgressCallback progress = [model, total](const Quitter::Report& sofar) {
        if (model)
            model->setPhase(Phase::quitting(int(sofar.closed.size()), total));
    };
    QCoro::Task<Quitter::Report> quit = quitter.quit(targets, timeout, progress);
    const Quitter::Report report = co_await quit;
    if (!model)
        co_return;
    model->setPhase(Phase::done(report));

    // Measuring again would cost as much as the first time; the earlier figures still hold.
    QList<AppEntry> fresh =
        RunningApps::snapshot(model->workspace, model->processes, false, model->offeredNever);
    for (AppEntry& app : fresh) {
        const AppEntry* earlier = withPid(model->appList, app.pid);
        app.memory = earlier ? earlier->memory : 0;
    }
    model->setApps(fresh);
}

void QuitModel::reopen(const QList<AppEntry>& apps)
{
    bool started = false;
    for (const AppEntry& app : apps) {
        if (canReopen(app)) {
            workspace.launchDesktopFile(*desktopFileOf(app));
            started = true;
        }
    }
    if (started)
        emit appsStarting();
}

bool QuitModel::canReopen(const AppEntry& app) const
{
    const std::optional<QString> place = desktopFileOf(app);
    if (!place)
        return false;
    const auto known = launchable.constFind(*place);
    if (known != launchable.constEnd())
        return *known;
    return *launchable.insert(*place, workspace.canLaunchDesktopFile(*place));
}

void QuitModel::forceQuit(const AppEntry& app)
{
    const std::optional<Quitter::Report> before = currentPhase.report();
    if (!before) {
        quitter.forceQuit(app);
        return;
    }
    if (!before->stillOpen.contains(app) || !offersForceQuit(before->forceQuitState(app)))
        return;
    const bool killed = quitter.forceQuit(app);
    // The kill may have been heard of already: then the app is closed and nothing is left to say.
    std::optional<Quitter::Report> report = currentPhase.report();
    if (!report || !report->stillOpen.contains(app))
        return;
    if (!killed && Quitter::hasGone(workspace, app.pid)) {
        stillOpenEnded(app.pid);
        return;
    }
    report->forceQuitStates.insert(app.pid,
                                   killed ? ForceQuitState::waiting : ForceQuitState::failed);
    setPhase(Phase::done(*report));
}

std::optional<AppEntry> QuitModel::appWithPid(pid_t pid) const
{
    if (const AppEntry* listed = withPid(appList, pid))
        return *listed;
    const std::optional<Quitter::Report> report = currentPhase.report();
    if (!report)
        return std::nullopt;
    for (const QList<AppEntry>* reported : {&report->stillOpen, &report->closed}) {
        if (const AppEntry* app = withPid(*reported, pid))
            return *app;
    }
    return std::nullopt;
}

void QuitModel::setWillQuit(int pid, bool will)
{
    if (const AppEntry* listed = withPid(appList, pid))
        setWillQuit(*listed, will);
}

void QuitModel::startQuitAll()
{
    // Dropping the task leaves it running; the phase tells the views how it goes.
    quitAll();
}

void QuitModel::reopenClosed()
{
    const std::optional<Quitter::Report> report = currentPhase.report();
    if (!report || reopened || pretend)
        return;
    reopen(report->closed);
    reopened = true;
    emit resultChanged();
}

void QuitModel::show(int pid)
{
    if (workspace.runningApplication(pid))
        workspace.activate(pid);
}

void QuitModel::forceQuit(int pid)
{
    const std::optional<Quitter::Report> report = currentPhase.report();
    if (!report)
        return;
    if (const AppEntry* app = withPid(report->stillOpen, pid))
        forceQuit(AppEntry(*app));
}

void QuitModel::finish()
{
    setPhase(Phase::ready());
    if (listsInBackground)
        refreshInBackground();
    else
        refresh();
}

QString QuitModel::iconSource(pid_t pid) const
{
    return QStringLiteral("image://appicon/%1/%2").arg(serial).arg(pid);
}

ResultSummary QuitModel::resultSummary() const
{
    const std::optional<Quitter::Report> report = currentPhase.report();
    if (!report)
        return {};
    return ResultSummary(
        *report, pretend, [this](pid_t pid) { return iconSource(pid); },
        [this](const AppEntry& app) { return canReopen(app); }, reopened);
}

QString QuitModel::mainButtonCaption() const
{
    const QuitPlan current = plan();
    return ViewText::mainButtonCaption(currentPhase, int(current.toQuit.size()),
                                       shownTotalMemory(current.toQuit), pretend);
}

bool QuitModel::mainButtonEnabled() const
{
    return ViewText::mainButtonEnabled(currentPhase, int(plan().toQuit.size()));
}

QSet<QString> QuitModel::keptNow() const
{
    if (!unread)
        return kept;
    QSet<QString> keys = kept;
    for (const AppEntry& app : appList) {
        if (!tickedWhileUnread.contains(app.key()))
            keys.insert(app.key());
    }
    return keys;
}

QString QuitModel::choicesProblem() const
{
    if (unread)
        return QCoreApplication::translate("QuitUI",
                                           "Your kept apps could not be read from %1, so no app "
                                           "is ticked until you tick it.")
            .arg(defaults.path());
    if (const std::optional<QString> problem = defaults.writeProblem())
        return QCoreApplication::translate(
                   "QuitUI", "Your choices could not be saved (%1); they hold until Nimbrel quits.")
            .arg(*problem);
    return QString();
}

QStringList QuitModel::keepForView() const
{
    // Sorted, so views do not show the set's hash order.
    QStringList sorted(kept.begin(), kept.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}
