#pragma once

#include "ProcessInfo.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

/// The footprints of some processes, read off the thread that starts the pass: the kernel walks
/// every resident page, which takes long for large apps. Many processes are dealt out in turn to
/// two threads, so both cores walk. Dropping the pass stops it between two processes (it waits
/// for the reads under way) and nothing of it arrives after.
class FootprintPass : public QObject
{
    Q_OBJECT

public:
    using Footprints = QHash<ProcessKey, quint64>;
    using Done = std::function<void(const Footprints&)>;

    /// Starts reading `records` at once; `done` gets every process's footprint (0 for one that
    /// could not be read) on this thread's event loop. Give large processes first so the two
    /// threads share them. `processes` must outlive the pass.
    FootprintPass(const ProcessInfo& processes, const QList<ProcessRecord>& records, Done done,
                  QObject* parent = nullptr);
    ~FootprintPass() override;

private:
    void partRead(const Footprints& part);

    Done done;
    std::atomic<bool> stopping = false;
    Footprints gathered;
    int partsLeft = 0;
    QThreadPool threads;
};
