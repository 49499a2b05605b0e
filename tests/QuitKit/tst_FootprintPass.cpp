#include "FakeProcessInfo.h"
#include "FootprintPass.h"

#include <QTest>

#include <optional>

class tst_FootprintPass : public QObject
{
    Q_OBJECT

private slots:
    // Enough processes for two threads: every one is read once and keyed by its start time too,
    // one that cannot be read counts 0.
    void readsEveryProcessOnce()
    {
        FakeProcessInfo processes;
        QList<ProcessRecord> records;
        FootprintPass::Footprints expected;
        for (pid_t pid = 100; pid < 121; ++pid) {
            const bool readable = pid != 107;
            const quint64 startTime = 5000 + pid;
            processes.add(
                pid, {.startTime = startTime,
                      .footprint = readable ? std::optional(quint64(pid) * 10) : std::nullopt});
            records.append({pid, 1, startTime});
            expected.insert({pid, startTime}, readable ? pid * 10 : 0);
        }
        std::optional<FootprintPass::Footprints> read;
        FootprintPass pass(
            processes, records,
            [&read](const FootprintPass::Footprints& footprints) { read = footprints; });
        QTRY_VERIFY_WITH_TIMEOUT(read.has_value(), 10000);
        QCOMPARE(*read, expected);
        QCOMPARE(processes.footprintReads.load(), int(records.size()));
    }
};

QTEST_GUILESS_MAIN(tst_FootprintPass)
#include "tst_FootprintPass.moc"
