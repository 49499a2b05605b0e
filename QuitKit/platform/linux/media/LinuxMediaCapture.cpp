#include "LinuxMediaCapture.h"

#include "PipeWireCaptureStreams.h"
#include "VideoCaptureDevices.h"

LinuxMediaCapture::LinuxMediaCapture()
    : streams(std::make_unique<PipeWireCaptureStreams>()),
      cameras(std::make_unique<VideoCaptureDevices>())
{
}

LinuxMediaCapture::~LinuxMediaCapture() = default;

QSet<pid_t> LinuxMediaCapture::capturingProcesses()
{
    return streams->capturingProcesses() | cameras->capturingProcesses();
}

bool LinuxMediaCapture::settle(std::chrono::milliseconds limit)
{
    return streams->settle(limit);
}
