#include "CtlArguments.h"
#include "CtlCommands.h"
#include "CtlModule.h"

#include <QTextStream>

int main(int argc, char* argv[])
{
    // Answered before the commands module loads: --help, --version and a mistyped command line
    // need no translations, no display and no bus, and scripts call them often.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    const auto parsed = CtlArguments::parse(words);
    if (const auto* error = std::get_if<CtlArguments::Error>(&parsed)) {
        QTextStream(stderr) << "nimbrelctl: " << error->message << "\nTry 'nimbrelctl --help'."
                            << Qt::endl;
        return CtlCommands::badArguments;
    }
    const CtlArguments& arguments = std::get<CtlArguments>(parsed);
    if (arguments.command == CtlArguments::Command::help) {
        QTextStream(stdout) << CtlArguments::usage();
        return CtlCommands::success;
    }
    if (arguments.command == CtlArguments::Command::version) {
        QTextStream(stdout) << "nimbrelctl " NIMBREL_VERSION << Qt::endl;
        return CtlCommands::success;
    }
    const auto run = CtlModule::load();
    if (const auto* problem = std::get_if<QString>(&run)) {
        QTextStream(stderr) << "nimbrelctl: cannot load its commands: " << *problem << Qt::endl;
        return CtlCommands::failure;
    }
    return std::get<CtlProgram::Run>(run)(argc, argv, arguments);
}
