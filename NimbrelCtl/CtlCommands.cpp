#include "CtlCommands.h"

#include "CtlJson.h"
#include "CtlText.h"
#include "Localization.h"
#include "QuitPlanner.h"
#include "Quitter.h"
#include "RunningApps.h"

#include <QJsonDocument>
#include <QTextStream>

namespace
{

QString json(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString json(const QJsonArray& array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
}

} // namespace

CtlCommands::CtlCommands(Workspace& workspace, const ProcessInfo& processes, Stored stored,
                         QSet<QString> neverOffered, QTextStream& out, QTextStream& err)
    : workspace(workspace), processes(processes), stored(std::move(stored)),
      neverOffered(std::move(neverOffered)), out(out), err(err)
{
}

QCoro::Task<int> CtlCommands::run(CtlArguments arguments)
{
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

QList<AppEntry> CtlCommands::snapshot(bool measure)
{
    return RunningApps::snapshot(workspace, processes, measure, neverOffered);
}

int CtlCommands::list(const CtlArguments& arguments)
{
    const QList<AppEntry> apps = snapshot(true);
    out << (arguments.json ? json(CtlJson::entries(apps)) : CtlText::table(apps));
    return success;
}

QuitPlan CtlCommands::plannedFor(const CtlArguments& arguments)
{
    const QSet<QString> keep = arguments.keep
                                   ? QSet<QString>(arguments.keep->begin(), arguments.keep->end())
                                   : stored.keep;
    return QuitPlanner::plan(snapshot(true), presetFor(arguments), keep, {});
}

void CtlCommands::printPlan(const CtlArguments& arguments, const QuitPlan& plan)
{
    const QuitPreset preset = presetFor(arguments);
    out << (arguments.json ? json(CtlJson::plan(plan, preset)) : CtlText::plan(plan, preset));
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
        progress << L(QStringLiteral("Closing… %d of %d"), sofar.closed.size(), total) << Qt::endl;
    };
    QCoro::Task<Quitter::Report> run = quitter.quit(plan.toQuit, arguments.timeout, onChange);
    const Quitter::Report report = co_await run;
    out << (arguments.json ? json(CtlJson::report(report)) : CtlText::report(report));
    co_return report.stillOpen.isEmpty() ? success : appsStillOpen;
}

int CtlCommands::forceQuit(const CtlArguments& arguments)
{
    const QList<AppEntry> apps = snapshot(false);
    const auto listed = std::find_if(apps.begin(), apps.end(),
                                     [&](const AppEntry& app) { return app.pid == arguments.pid; });
    if (listed == apps.end()) {
        err << QStringLiteral("nimbrelctl: %1 is not the pid of a listed app (see nimbrelctl list)")
                   .arg(arguments.pid)
            << Qt::endl;
        return badArguments;
    }
    const bool ended = Quitter(workspace).forceQuit(*listed);
    if (arguments.json) {
        out << json(QJsonObject{{QStringLiteral("app"), CtlJson::entry(*listed)},
                                {QStringLiteral("forceQuit"), ended}});
    } else if (ended) {
        out << QStringLiteral("Force quit %1 (%2)\n").arg(listed->name).arg(listed->pid);
    }
    if (!ended)
        err << QStringLiteral(
                   "nimbrelctl: %1 (%2) could not be force quit; it may have ended already")
                   .arg(listed->name)
                   .arg(listed->pid)
            << Qt::endl;
    return ended ? success : failure;
}
