#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <sys/types.h>
#include <unordered_map>

// Tells, on the thread it lives on, when watched processes end: one pidfd per process,
// read through a QSocketNotifier. Nothing polls.
class ProcessWatcher : public QObject
{
    Q_OBJECT

public:
    explicit ProcessWatcher(QString procRoot = QStringLiteral("/proc"), QObject* parent = nullptr);
    ~ProcessWatcher() override;

    // Watches `pid` if it is still the process that started at `startTime`; false when that
    // process has already ended (or the pid now belongs to another process).
    bool watch(pid_t pid, quint64 startTime);
    void unwatch(pid_t pid);
    bool isWatching(pid_t pid) const;

signals:
    // Emitted once per watched process that ends; the watch is dropped before it is emitted.
    void processEnded(pid_t pid);

private:
    struct Watch;
    void ended(pid_t pid);

    QString procRoot;
    std::unordered_map<pid_t, std::unique_ptr<Watch>> watches;
};
