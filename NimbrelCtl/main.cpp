#include "CtlArguments.h"
#include "CtlCommands.h"
#include "CtlModule.h"
#include "Localization.h"
#include "ShownText.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    // Scripts ask for the version often: it is answered before the application and its
    // translations are set up.
    if (CtlArguments::asksForVersion(words)) {
        QTextStream(stdout) << "nimbrelctl " NIMBREL_VERSION << Qt::endl;
        return CtlCommands::success;
    }
    // --help and a mistyped command line are answered before the commands module loads: they
    // need the translations, but no display and no bus.
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nimbrelctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NIMBREL_VERSION));
    installTranslations(application);
    const auto parsed = CtlArguments::parse(words);
    if (const auto* error = std::get_if<CtlArguments::Error>(&parsed)) {
        // The message quotes the caller's own words, which may hold anything.
        QTextStream(stderr) << "nimbrelctl: " << ShownText::escaped(error->message) << '\n'
                            << QCoreApplication::translate("NimbrelCtl", "Try 'nimbrelctl --help'.")
                            << Qt::endl;
        return CtlCommands::badArguments;
    }
    const CtlArguments& arguments = std::get<CtlArguments>(parsed);
    if (arguments.command == CtlArguments::Command::help) {
        QTextStream(stdout) << CtlArguments::usage();
        return CtlCommands::success;
    }
    const auto run = CtlModule::load();
    if (const auto* problem = std::get_if<QString>(&run)) {
        QTextStream(stderr) << "nimbrelctl: "
                            << QCoreApplication::translate("NimbrelCtl",
                                                           "cannot load its commands: %1")
                                   .arg(ShownText::escaped(*problem))
                            << Qt::endl;
        return CtlCommands::failure;
    }
    return std::get<CtlProgram::Run>(run)(arguments);
}
