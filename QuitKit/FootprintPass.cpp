#include "FootprintPass.h"

namespace
{

// Below this many processes a second thread costs more than it saves.
constexpr qsizetype twoThreadsFrom = 8;

} // namespace

FootprintPass::FootprintPass(const ProcessInfo& processes, const QList<ProcessRecord>& records,
                             Done done_, QObject* parent)
    : QObject(parent), done(std::move(done_))
{
    const int parts = records.size() >= twoThreadsFrom ? 2 : 1;
    QList<QList<ProcessRecord>> dealt(parts);
    for (qsizetype i = 0; i < records.size(); ++i)
        dealt[i % parts].append(records[i]);
    partsLeft = parts;
    threads.setMaxThreadCount(parts);
    for (const QList<ProcessRecord>& part : std::as_const(dealt)) {
        threads.start([this, &processes, part] {
            Footprints read;
            read.reserve(part.size());
            for (const ProcessRecord& process : part) {
                if (stopping)
                    return;
                read.insert(process.key(), processes.footprint(process.pid).value_or(0));
            }
            // Posted while the destructor waits, if it does: the pass then takes it along unseen.
            QMetaObject::invokeMethod(
                this, [this, read] { partRead(read); }, Qt::QueuedConnection);
        });
    }
}

FootprintPass::~FootprintPass()
{
    stopping = true;
    threads.waitForDone();
}

void FootprintPass::partRead(const Footprints& part)
{
    gathered.insert(part);
    if (--partsLeft == 0)
        done(gathered);
}
