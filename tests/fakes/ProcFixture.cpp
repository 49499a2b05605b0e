#include "ProcFixture.h"
#include "TestFiles.h"

#include <QDir>

namespace
{

QByteArray statRecord(pid_t pid, const ProcFixture::Process& process)
{
    constexpr quint64 plainFlags = 0x00400000, kernelThreadFlags = 0x00208040;
    return QByteArray::number(pid) + " (fixture proc) S " + QByteArray::number(process.parent) +
           " 1 1 0 -1 " +
           QByteArray::number(process.kernelThread ? kernelThreadFlags : plainFlags) +
           " 0 0 0 0 0 0 0 0 20 0 1 0 " + QByteArray::number(process.startTime) +
           " 0 0 18446744073709551615\n";
}

} // namespace

void ProcFixture::add(pid_t pid, const Process& process)
{
    write(pid, QStringLiteral("stat"), statRecord(pid, process));
    if (process.rollupKb) {
        write(pid, QStringLiteral("smaps_rollup"),
              QByteArrayLiteral("55d0c0de0000-7ffd00000000 ---p 00000000 00:00 0   [rollup]\n"
                                "Rss:              9000 kB\nPss:              8000 kB\n"
                                "Pss_Anon:         ") +
                  QByteArray::number(*process.rollupKb) +
                  QByteArrayLiteral(" kB\nPss_File:          700 kB\nPss_Shmem:           0 kB\n"
                                    "Private_Hugetlb:     0 kB\nSwap:                0 kB\n"
                                    "SwapPss:             0 kB\n"));
    }
    write(pid, QStringLiteral("status"),
          QByteArrayLiteral("Name:\tfixture\nState:\tS (sleeping)\nVmRSS:\t    9000 kB\n"
                            "RssAnon:\t    ") +
              QByteArray::number(process.statusKb) +
              QByteArrayLiteral(" kB\nRssFile:\t     700 kB\nRssShmem:\t       0 kB\n"
                                "VmSwap:\t       0 kB\n"));
    const QByteArray session = "0::/user.slice/user-1000.slice/session-2.scope\n";
    const QByteArray app = "0::/user.slice/user-1000.slice/user@1000.service/app.slice/";
    write(pid, QStringLiteral("cgroup"),
          process.unit ? app + process.unit->toUtf8() + '\n' : session);
}

bool ProcFixture::write(pid_t pid, const QString& file, const QByteArray& text)
{
    return TestFiles::writeFile(dir.filePath(QString::number(pid) + QLatin1Char('/') + file), text);
}

void ProcFixture::addVanished(pid_t pid)
{
    QDir().mkpath(dir.filePath(QString::number(pid)));
}
