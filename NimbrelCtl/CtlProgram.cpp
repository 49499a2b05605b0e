#include "CtlProgram.h"

#include "CtlCommands.h"
#include "InUseApps.h"
#include "LinuxMediaCapture.h"
#include "ProcProcessInfo.h"
#include "SettingsStore.h"
#include "StoredChoices.h"
#include "UnsupportedWorkspace.h"
#include "WorkspaceFactory.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QEventLoop>
#include <QTextStream>

#include <cstdio>

namespace
{

// Why the stored choices could not be read, for the user; nothing when they were.
std::optional<QString> unreadable(const SettingsStore& store)
{
    const std::optional<SettingsStore::ReadProblem> problem = store.readProblem();
    if (!problem)
        return std::nullopt;
    const QString why = *problem == SettingsStore::ReadProblem::corrupt
                            ? QCoreApplication::translate("NimbrelCtl", "%1 is damaged")
                            : QCoreApplication::translate("NimbrelCtl", "%1 cannot be opened");
    return why.arg(store.path());
}

} // namespace

int nimbrelctlRun(const CtlArguments& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    if (arguments.verbose) {
        const QString backends = workspace->backendName();
        err << "nimbrelctl: "
            << QCoreApplication::translate("NimbrelCtl", "desktop backends: %1")
                   .arg(backends.isEmpty() ? QCoreApplication::translate("NimbrelCtl", "none")
                                           : backends)
            << Qt::endl;
    }
    if (const auto* unsupported = dynamic_cast<const UnsupportedWorkspace*>(workspace.get())) {
        err << "nimbrelctl: "
            << QCoreApplication::translate("NimbrelCtl", "cannot see the desktop's apps: %1")
                   .arg(unsupported->reason())
            << Qt::endl;
        return CtlCommands::failure;
    }
    const ProcProcessInfo processes;
    LinuxMediaCapture capture(CaptureAsking::once);
    InUseApps inUseApps(capture, processes);
    const SettingsStore store = SettingsStore::program();
    CtlCommands commands(
        *workspace, processes,
        {StoredChoices::preset(store), StoredChoices::keep(store), unreadable(store)},
        {SettingsStore::standardName()}, out, err);
    commands.setInUseApps(inUseApps);
    // One command asks once: give PipeWire a moment to tell what is recording already.
    capture.settle(std::chrono::seconds(1));
    const int status = QCoro::waitFor(commands.run(arguments));
    out.flush();
    // A quit that ended first still asks every app (--timeout 0 only asks).
    QEventLoop untilSent;
    bool sent = false;
    workspace->whenRequestsSent([&] {
        sent = true;
        untilSent.quit();
    });
    if (!sent)
        untilSent.exec();
    return status;
}
