#pragma once

#include "CaptureAsking.h"
#include "MediaCapture.h"

#include <chrono>
#include <memory>

class PipeWireCaptureStreams;
class VideoCaptureDevices;

/// Capture on a Linux desktop: PipeWire's capture streams (microphones, and cameras shared
/// through PipeWire) and the processes holding a video4linux camera open themselves.
class LinuxMediaCapture : public MediaCapture
{
public:
    explicit LinuxMediaCapture(CaptureAsking asking = CaptureAsking::repeatedly);
    ~LinuxMediaCapture() override;

    QSet<pid_t> capturingProcesses() override;

    /// Waits, at most `limit`, until the answer covers what was capturing when this object was
    /// made; for callers that ask once. False on time-out.
    bool settle(std::chrono::milliseconds limit);

private:
    // Behind pointers: the programs that include this header need none of the readers' own.
    std::unique_ptr<PipeWireCaptureStreams> streams;
    std::unique_ptr<VideoCaptureDevices> cameras;
};
