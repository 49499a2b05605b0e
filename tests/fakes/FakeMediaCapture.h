#pragma once

#include "MediaCapture.h"

// Capturing processes the tests set by hand.
class FakeMediaCapture : public MediaCapture
{
public:
    QSet<pid_t> capturing;

    QSet<pid_t> capturingProcesses() override { return capturing; }
};
