#pragma once

#include <QByteArray>
#include <QList>

#include <sys/types.h>

// The current user's processes, as a /proc file system shows them (a test may pass a folder laid
// out like /proc). Another user's claims and file descriptors are never looked at.
namespace OwnProcesses
{

// Whether `pid` names a process (above 1) that runs as the current user.
bool contains(const QByteArray& procRoot, pid_t pid);
// Every process that runs as the current user.
QList<pid_t> all(const QByteArray& procRoot);

} // namespace OwnProcesses
