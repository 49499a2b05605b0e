#include "CtlModule.h"

#include <QByteArray>
#include <QCoreApplication>

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

std::variant<CtlProgram::Run, QString> CtlModule::load()
{
    // Relative to the program's own file, so the build tree and any install prefix work alike.
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program);
    if (length <= 0 || length == sizeof program)
        return QCoreApplication::translate("NimbrelCtl",
                                           "cannot find the nimbrelctl program itself");
    QByteArray path(program, length);
    path.truncate(path.lastIndexOf('/') + 1);
    path += NIMBRELCTL_MODULE;
    void* module = dlopen(path.constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!module)
        return QString::fromLocal8Bit(dlerror());
    void* run = dlsym(module, CtlProgram::runSymbol);
    if (!run)
        return QString::fromLocal8Bit(dlerror());
    return reinterpret_cast<CtlProgram::Run>(run);
}
