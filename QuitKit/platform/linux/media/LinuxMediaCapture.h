#pragma once

#include "MediaCapture.h"
#include "PipeWireCaptureStreams.h"
#include "VideoCaptureDevices.h"

#include <chrono>

/// Capture on a Linux desktop: PipeWire's capture streams (microphones, and cameras shared
/// through PipeWire) and the processes holding a video4linux camera open themselves.
class LinuxMediaCapture : public MediaCapture
{
public:
    QSet<pid_t> capturingProcesses() override;

    /// Waits, at most `limit`, until the answer covers what was capturing when this object was
    /// made; for callers that ask once. False on time-out.
    bool settle(std::chrono::milliseconds limit) { return streams.settle(limit); }

private:
    PipeWireCaptureStreams streams;
    VideoCaptureDevices cameras;
};
