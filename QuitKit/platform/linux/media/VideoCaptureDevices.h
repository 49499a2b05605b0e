#pragma once

#include "CaptureAsking.h"
#include "MediaCapture.h"

#include <QByteArray>
#include <QSet>
#include <QString>

/// Processes of the current user with a video capture device (video4linux, /dev/video*) open.
/// Asked repeatedly, the file descriptors are walked again only once inotify has seen a device
/// opened or closed, or one come or go; asked once, they are walked at each question. Without any
/// device nothing is walked.
class VideoCaptureDevices : public MediaCapture
{
public:
    /// Devices are listed and watched in `deviceFolder`; descriptors name them /dev/NAME, as the
    /// kernel shows them. Tests point both folders at fixtures.
    explicit VideoCaptureDevices(const QString& procRoot = QStringLiteral("/proc"),
                                 const QString& deviceFolder = QStringLiteral("/dev"),
                                 CaptureAsking asking = CaptureAsking::repeatedly);
    ~VideoCaptureDevices() override;
    VideoCaptureDevices(const VideoCaptureDevices&) = delete;
    VideoCaptureDevices& operator=(const VideoCaptureDevices&) = delete;

    QSet<pid_t> capturingProcesses() override;

private:
    void listDevices();
    void readEvents();
    QSet<pid_t> walk() const;

    QByteArray procRoot;
    QByteArray deviceFolder;
    CaptureAsking asking;
    int inotify = -1;
    int folderWatch = -1;
    QSet<QByteArray> devices; // as descriptors name them, "/dev/video0"
    bool stale = true;
    QSet<pid_t> capturing;
};
