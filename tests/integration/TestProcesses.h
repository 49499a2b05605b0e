#pragma once

#include <QProcess>

// Processes a test session started, ended when it goes.
namespace TestProcesses
{

// Asks `process` to end and kills it when it has not within `graceMs`.
void stop(QProcess& process, int graceMs = 3000);

} // namespace TestProcesses
