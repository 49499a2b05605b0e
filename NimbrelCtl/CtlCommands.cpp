#include "CtlCommands.h"

#include "CtlJson.h"
#include "CtlText.h"
#include "InUseApps.h"
#include "ProcessInfo.h"
#include "QuitPlanner.h"
#include "Quitter.h"
#include "RunningApps.h"
#include "ShownText.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTextStream>
#include <QTimer>

#include <chrono>

namespace
{

// How long a force quit waits for the killed process to end before it says it has not.
constexpr std::chrono::seconds forceQuitBound{5};

QString json(const QJsonObject& object)
{
    return ShownText::jsonEscaped(
        QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
}

QString json(const QJsonArray& array)
{
    return ShownText::jsonEscaped(
        QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
}

// Whether apps may be missing from what the document lists.
QJsonObject withPartial(QJsonObject document, bool partial)
{
    document.insert(QStringLiteral("partial"), partial);
    return document;
}

} // namespace

CtlCommands::CtlCommands(Workspace& workspace_, const ProcessInfo& processes_, Stored stored_,
                         QSet<QString> neverOffered_, QTextStream& out_, QTextStream& err_)
    : workspace(workspace_), processes(processes_), stored(std::move(stored_)),
      neverOffered(std::move(neverOffered_)), out(out_), err(err_)
{
}

QCoro::Task<int> CtlCommands::run(CtlArguments arguments)
{
    if (const std::optional<int> refused = refusal(arguments))
        co_return *refused;
    if (const std::optional<Workspace::ListingGap> gap = workspace.listingGap()) {
        if (!gap->partial) {
            err << "nimbrelctl: "
                << QCoreApplication::translate("NimbrelCtl", "cannot see the desktop's apps: %1")
                       .arg(ShownText::escaped(gap->reason))
                << Qt::endl;
            co_return failure;
        }
        err << QStringLiteral("nimbrelctl: %1").arg(ShownText::escaped(gap->reason)) << Qt::endl;
        partial = true;
    }
    switch (arguments.command) {
    case CtlArguments::Command::list:
        co_return list(arguments);
    case CtlArguments::Command::plan:
        co_return plan(arguments);
    case CtlArguments::Command::quit: {
        // Named, not temporary: g++ 12 may destroy temporaries of a co_await expression twice.
        QCoro::Task<int> run = quit(arguments);
        const int status = co_await run;
        co_return status;
    }
    case CtlArguments::Command::forceQuit:
        co_return forceQuit(arguments);
    case CtlArguments::Command::help:
    case CtlArguments::Command::version:
        break;
    }
    co_return badArguments;
}

std::optional<int> CtlCommands::refusal(const CtlArguments& arguments)
{
    if (!stored.unreadable)
        return std::nullopt;
    // Said on every run: whatever is printed next leaves the user's own choices out.
    err << "nimbrelctl: "
        << QCoreApplication::translate(
               "NimbrelCtl",
               "Nimbrel's stored choices cannot be read (%1); they are left as they are")
               .arg(ShownText::escaped(*stored.unreadable))
        << Qt::endl;
    const bool usesStoredPreset = !arguments.preset;
    if (arguments.command != CtlArguments::Command::quit || arguments.dryRun || !usesStoredPreset)
        return std::nullopt;
    err << "nimbrelctl: "
        << QCoreApplication::translate(
               "NimbrelCtl",
               "quit needs --preset until they can be read, so no app you keep is quit")
        << Qt::endl;
    return badArguments;
}

QList<AppEntry> CtlCommands::snapshot(bool measure)
{
    return RunningApps::snapshot(workspace, processes, measure, neverOffered);
}

QSet<pid_t> CtlCommands::inUse(const QList<AppEntry>& apps)
{
    return inUseApps ? inUseApps->among(apps) : QSet<pid_t>();
}

int CtlCommands::list(const CtlArguments& arguments)
{
    const QList<AppEntry> apps = snapshot(true);
    const QSet<pid_t> used = inUse(apps);
    out << (arguments.json ? json(CtlJson::entries(apps, used))
                           : CtlText::table(apps, CtlText::inUseNotes(apps, used)));
    return success;
}

QuitPlan CtlCommands::plannedFor(const CtlArguments& arguments)
{
    const QSet<QString> keep = arguments.keep
                                   ? QSet<QString>(arguments.keep->begin(), arguments.keep->end())
                                   : stored.keep;
    const QList<AppEntry> apps = snapshot(true);
    return QuitPlanner::plan(apps, presetFor(arguments), keep, inUse(apps));
}

void CtlCommands::printPlan(const CtlArguments& arguments, const QuitPlan& plan)
{
    const QuitPreset preset = presetFor(arguments);
    const QSet<pid_t> used = inUse(plan.toQuit + plan.kept);
    out << (arguments.json ? json(withPartial(CtlJson::plan(plan, preset, used), partial))
                           : CtlText::plan(plan, preset, used));
}

int CtlCommands::plan(const CtlArguments& arguments)
{
    printPlan(arguments, plannedFor(arguments));
    return success;
}

QCoro::Task<int> CtlCommands::quit(CtlArguments arguments)
{
    const QuitPlan plan = plannedFor(arguments);
    if (arguments.dryRun) {
        printPlan(arguments, plan);
        co_return success;
    }

    // Progress goes where it cannot spoil a JSON document.
    QTextStream& progress = arguments.json ? err : out;
    const qsizetype total = plan.toQuit.size();
    Quitter quitter(workspace);
    const Quitter::ProgressCallback onChange = [&](const Quitter::Report& sofar) {
        progress << QCoreApplication::translate("NimbrelCtl", "Closing… %L1 of %L2")
                        .arg(sofar.closed.size())
                        .arg(total)
                 << Qt::endl;
    };
    QCoro::Task<Quitter::Report> run = quitter.quit(plan.toQuit, arguments.timeout, onChange);
    const Quitter::Report report = co_await run;
    const QSet<pid_t> used = inUse(report.closed + report.stillOpen);
    out << (arguments.json ? json(withPartial(CtlJson::report(report, used), partial))
                           : CtlText::report(report));
    if (report.desktopLost) {
        err << "nimbrelctl: "
            << QCoreApplication::translate(
                   "NimbrelCtl", "the display went away; apps not seen to close may still be open")
            << Qt::endl;
        co_return failure;
    }
    co_return report.stillOpen.isEmpty() ? success : appsStillOpen;
}

bool CtlCommands::hasEnded(pid_t pid)
{
    // A killed process ends at once unless the kernel holds it (stuck I/O): wait a little.
    QEventLoop loop;
    const Workspace::ObserverToken token = workspace.addTerminationObserver([&](pid_t ended) {
        if (ended == pid || ended == Workspace::desktopLost)
            loop.quit();
    });
    QTimer::singleShot(forceQuitBound, &loop, &QEventLoop::quit);
    if (!Quitter::hasGone(workspace, pid))
        loop.exec();
    workspace.removeTerminationObserver(token);
    return Quitter::hasGone(workspace, pid);
}

int CtlCommands::forceQuit(const CtlArguments& arguments)
{
    const QList<AppEntry> apps = snapshot(false);
    const auto listed = std::find_if(apps.begin(), apps.end(),
                                     [&](const AppEntry& app) { return app.pid == arguments.pid; });
    if (listed == apps.end() && !processes.startTime(arguments.pid)) {
        err << "nimbrelctl: "
            << QCoreApplication::translate("NimbrelCtl",
                                           "no process %1 is running; it may have ended already")
                   .arg(arguments.pid)
            << Qt::endl;
        return failure;
    }
    if (listed == apps.end()) {
        err << "nimbrelctl: "
            << QCoreApplication::translate(
                   "NimbrelCtl", "%1 is not the pid of a listed app (see nimbrelctl list)")
                   .arg(arguments.pid)
            << Qt::endl;
        // A window may name any pid; only a process that holds its X connection is its app.
        if (std::any_of(apps.cbegin(), apps.cend(),
                        [](const AppEntry& app) { return app.pid <= 0; }))
            err << "nimbrelctl: "
                << QCoreApplication::translate(
                       "NimbrelCtl",
                       "apps whose process cannot be verified are listed without a pid and "
                       "cannot be force quit")
                << Qt::endl;
        return badArguments;
    }
    if (const ForceQuitState state = workspace.forceQuitState(listed->pid);
        state != ForceQuitState::possible) {
        err << "nimbrelctl: "
            << QStringLiteral("%1 (%2): %3")
                   .arg(ShownText::escaped(listed->name), QString::number(listed->pid),
                        forceQuitStateText(state))
            << Qt::endl;
        return failure;
    }
    const bool ended = Quitter(workspace).forceQuit(*listed) && hasEnded(listed->pid);
    if (arguments.json) {
        out << json(
            QJsonObject{{QStringLiteral("app"),
                         CtlJson::entry(*listed, !inUse({*listed}).isEmpty(), CtlJson::unmeasured)},
                        {QStringLiteral("forceQuit"), ended}});
    } else if (ended) {
        out << QCoreApplication::translate("NimbrelCtl", "Force quit %1 (%2)")
                   .arg(ShownText::escaped(listed->name), QString::number(listed->pid))
            << '\n';
    }
    if (!ended)
        err << "nimbrelctl: "
            << QCoreApplication::translate("NimbrelCtl",
                                           "%1 (%2) could not be force quit, or has not ended yet")
                   .arg(ShownText::escaped(listed->name), QString::number(listed->pid))
            << Qt::endl;
    return ended ? success : failure;
}
