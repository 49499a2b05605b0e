#pragma once

#include <QSet>

#include <sys/types.h>

/// Which processes record from a camera or a microphone now. Main thread only.
class MediaCapture
{
public:
    virtual ~MediaCapture() = default;

    /// Pids of the current user's processes capturing audio or video now. Answered from what
    /// has been learnt so far, so it is cheap enough to ask for every plan.
    virtual QSet<pid_t> capturingProcesses() = 0;
};
