#pragma once

#include <QString>

#include <functional>
#include <sys/types.h>

// A process and the parents above it.
namespace ProcessLineage
{

// Whether `process` or one of its ancestors at most `generations` steps up passes `test`; the
// walk ends at init and at a process whose record cannot be read.
bool any(pid_t process, int generations, const std::function<bool(pid_t)>& test,
         const QString& procRoot = QStringLiteral("/proc"));

} // namespace ProcessLineage
