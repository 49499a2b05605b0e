#include "EnvironmentGuard.h"

#include <QtGlobal>

EnvironmentGuard::~EnvironmentGuard()
{
    for (auto variable = saved.cbegin(); variable != saved.cend(); ++variable) {
        if (variable.value())
            qputenv(variable.key().constData(), *variable.value());
        else
            qunsetenv(variable.key().constData());
    }
}

void EnvironmentGuard::set(const char* name, const QByteArray& value)
{
    if (!saved.contains(name)) {
        saved.insert(name, qEnvironmentVariableIsSet(name)
                               ? std::optional<QByteArray>(qgetenv(name))
                               : std::nullopt);
    }
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}
