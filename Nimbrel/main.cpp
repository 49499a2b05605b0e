#include "AppInfo.h"
#include "LinuxMediaCapture.h"
#include "Localization.h"
#include "NimbrelProgram.h"
#include "ProcProcessInfo.h"
#include "SingleInstance.h"
#include "StartupFlags.h"
#include "Views.h"
#include "WorkspaceFactory.h"

#include <QApplication>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

int main(int argc, char* argv[])
{
    Views::configure();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nimbrel"));
    QApplication::setApplicationVersion(AppInfo::version());
    QApplication::setDesktopFileName(AppInfo::identifier());
    // A tray program keeps running with no window open.
    QApplication::setQuitOnLastWindowClosed(false);
    installTranslations(application);
    Views::useDesktopIcons();

    const std::optional<StartupFlags::CheckRequest> check =
        StartupFlags::checkRequest(application.arguments());
    // Self-checks always run on their own; a usual launch hands over to a running one.
    SingleInstance instance(AppInfo::identifier());
    if (!check && instance.start() == SingleInstance::Role::Secondary)
        return 0;

    const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    const ProcProcessInfo processes;
    LinuxMediaCapture capture;
    NimbrelProgram program(*workspace, processes, capture);
    QObject::connect(&instance, &SingleInstance::reopenRequested, &program,
                     &NimbrelProgram::reopen);
    if (const std::optional<int> status = program.started(check))
        return *status;
    return application.exec();
}
