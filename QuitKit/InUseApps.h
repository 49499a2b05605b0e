#pragma once

#include "AppEntry.h"

#include <QList>
#include <QSet>

#include <sys/types.h>

class MediaCapture;
class ProcessInfo;

/// The apps using the camera or microphone now: those owning a capturing process, by the
/// ownership rules of memory accounting, so a browser whose helper records is in use itself.
/// Main thread only; `capture` and `processes` must outlive it.
class InUseApps
{
public:
    InUseApps(MediaCapture& capture, const ProcessInfo& processes);

    /// The pids of the apps of `apps` in use now.
    QSet<pid_t> among(const QList<AppEntry>& apps);

    /// The apps of `apps` owning any process of `capturing`.
    static QSet<pid_t> owners(const ProcessInfo& processes, const QSet<pid_t>& capturing,
                              const QSet<pid_t>& apps);

private:
    MediaCapture& capture;
    const ProcessInfo& processes;
    // The last answer: a plan asks once per row, and ownership may walk every process.
    QSet<pid_t> lastCapturing;
    QSet<pid_t> lastApps;
    QSet<pid_t> lastOwners;
};
