#include "LinuxMediaCapture.h"

QSet<pid_t> LinuxMediaCapture::capturingProcesses()
{
    return streams.capturingProcesses() | cameras.capturingProcesses();
}
