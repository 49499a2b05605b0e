#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <sys/types.h>

// A throwaway folder laid out like /proc, for reading process trees the tests make up.
class ProcFixture
{
public:
    struct Process {
        pid_t parent = 1;
        quint64 startTime = 100;
        std::optional<quint64> rollupKb = 0;        // Pss_Anon of smaps_rollup; no file when absent
        quint64 statusKb = 0;                       // RssAnon of status (what the fallback reads)
        std::optional<QString> unit = std::nullopt; // the app unit of the cgroup path, if any
        bool kernelThread = false;
    };

    // Writes PID/stat, PID/smaps_rollup, PID/status and PID/cgroup.
    void add(pid_t pid, const Process& process);
    // Writes (or replaces) one file of a process, which may lie in a subfolder ("root/x"),
    // creating its folders; false when it could not be written.
    bool write(pid_t pid, const QString& file, const QByteArray& text);
    // A process that ended after being listed: its folder is there, its files are gone.
    void addVanished(pid_t pid);

    QString root() const { return dir.path(); }

private:
    QTemporaryDir dir;
};
