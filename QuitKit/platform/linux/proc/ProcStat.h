#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <sys/types.h>

// The fields of /proc/PID/stat that tell who a process is and where it hangs in the tree.
struct ProcStat {
    char state = 'R'; // 'Z' and 'X': the process has ended and waits to be reaped
    pid_t parent = 0;
    quint64 startTime = 0; // clock ticks after boot
    bool kernelThread = false;

    bool hasEnded() const { return state == 'Z' || state == 'X'; }

    // Parses a whole stat record; nothing when it is cut short or malformed.
    static std::optional<ProcStat> parse(QByteArrayView record);
    // Reads `<procRoot>/<pid>/stat`; nothing when it cannot be read whole.
    static std::optional<ProcStat> read(const QString& procRoot, pid_t pid);
};
