#include "AppInfo.h"
#include "LinuxMediaCapture.h"
#include "Localization.h"
#include "MenuAccessibility.h"
#include "NimbrelProgram.h"
#include "ProcProcessInfo.h"
#include "SingleInstance.h"
#include "StartupFlags.h"
#include "Views.h"
#include "WorkspaceFactory.h"

#include <QApplication>
#include <QTextStream>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

// Prints what `answer` asks for; needs no display, so it runs before the application has one.
int printAnswer(int argc, char* argv[], StartupFlags::Answer answer)
{
    QCoreApplication application(argc, argv);
    if (answer == StartupFlags::Answer::Version) {
        QTextStream(stdout) << "nimbrel " << AppInfo::version() << Qt::endl;
        return 0;
    }
    installTranslations(application);
    QTextStream(stdout) << StartupFlags::usage();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<StartupFlags::Answer> answer = StartupFlags::answerRequest(arguments))
        return printAnswer(argc, argv, *answer);

    Views::configure();
    MenuAccessibility::install();
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
