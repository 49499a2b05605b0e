#pragma once

#include "CaptureAsking.h"
#include "MediaCapture.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <chrono>
#include <memory>

/// Processes of the current user with a PipeWire capture stream open (a node of media class
/// "Stream/Input/Audio" or "Stream/Input/Video"), as the stream's client names its process
/// ("application.process.id"). A thread of its own follows the registry's events, so an answer
/// costs no round trip. Without a PipeWire daemon the answer is empty; asked repeatedly, it tries
/// again when the daemon's socket appears.
class PipeWireCaptureStreams : public MediaCapture
{
public:
    /// Claimed pids are checked against `procRoot` (a test may pass a folder laid out like /proc).
    explicit PipeWireCaptureStreams(const QString& procRoot = QStringLiteral("/proc"),
                                    CaptureAsking asking = CaptureAsking::repeatedly);
    ~PipeWireCaptureStreams() override;
    PipeWireCaptureStreams(const PipeWireCaptureStreams&) = delete;
    PipeWireCaptureStreams& operator=(const PipeWireCaptureStreams&) = delete;

    QSet<pid_t> capturingProcesses() override;

    /// Waits, at most `limit`, until the answer covers every stream that was open when this
    /// object was made (or no daemon answered); for callers that ask once. False on time-out.
    bool settle(std::chrono::milliseconds limit);

private:
    struct Connection;

    QByteArray procRoot;
    std::unique_ptr<Connection> connection;
};
