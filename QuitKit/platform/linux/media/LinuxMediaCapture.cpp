#include "LinuxMediaCapture.h"

#include "PipeWireCaptureStreams.h"
#include "VideoCaptureDevices.h"

LinuxMediaCapture::LinuxMediaCapture(CaptureAsking asking)
    : streams(std::make_unique<PipeWireCaptureStreams>(QStringLiteral("/proc"), asking)),
      cameras(std::make_unique<VideoCaptureDevices>(QStringLiteral("/proc"), QStringLiteral("/dev"),
                                                    asking))
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
