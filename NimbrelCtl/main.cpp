#include "CtlArguments.h"
#include "CtlCommands.h"
#include "Localization.h"
#include "ProcProcessInfo.h"
#include "SettingsStore.h"
#include "StoredChoices.h"
#include "UnsupportedWorkspace.h"
#include "WorkspaceFactory.h"

#include <QCoreApplication>
#include <QCoroTask>
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
                            ? QStringLiteral("%1 is damaged")
                            : QStringLiteral("%1 cannot be opened");
    return why.arg(store.path());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbrelctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
    installTranslations(application);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const auto parsed = CtlArguments::parse(application.arguments().mid(1));
    if (const auto* error = std::get_if<CtlArguments::Error>(&parsed)) {
        err << "nimbrelctl: " << error->message << "\nTry 'nimbrelctl --help'." << Qt::endl;
        return CtlCommands::badArguments;
    }
    const CtlArguments& arguments = std::get<CtlArguments>(parsed);
    if (arguments.command == CtlArguments::Command::help) {
        out << CtlArguments::usage();
        return CtlCommands::success;
    }
    if (arguments.command == CtlArguments::Command::version) {
        out << "nimbrelctl " << QCoreApplication::applicationVersion() << Qt::endl;
        return CtlCommands::success;
    }

    const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    if (const auto* unsupported = dynamic_cast<const UnsupportedWorkspace*>(workspace.get())) {
        err << "nimbrelctl: cannot see the desktop's apps: " << unsupported->reason() << Qt::endl;
        return CtlCommands::failure;
    }
    const ProcProcessInfo processes;
    const SettingsStore store = SettingsStore::program();
    CtlCommands commands(
        *workspace, processes,
        {StoredChoices::preset(store), StoredChoices::keep(store), unreadable(store)},
        {SettingsStore::standardName()}, out, err);
    const int status = QCoro::waitFor(commands.run(arguments));
    out.flush();
    return status;
}
