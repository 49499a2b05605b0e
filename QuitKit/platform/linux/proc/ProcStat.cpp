#include "ProcStat.h"

#include <QFile>
#include <QList>

namespace
{

constexpr quint64 kernelThreadFlag = 0x00200000; // PF_KTHREAD

} // namespace

std::optional<ProcStat> ProcStat::parse(const QByteArray& record)
{
    // The command name may hold spaces and parentheses; fields resume after the last ')'.
    const qsizetype close = record.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = record.mid(close + 1).simplified().split(' ');
    // fields[0] is field 3 (state): field N sits at index N - 3.
    constexpr int parentIndex = 4 - 3, flagsIndex = 9 - 3, startIndex = 22 - 3;
    if (fields.size() <= startIndex)
        return std::nullopt;
    bool parentOk = false, flagsOk = false, startOk = false;
    ProcStat stat;
    stat.state = fields[0].isEmpty() ? '?' : fields[0].at(0);
    stat.parent = fields[parentIndex].toInt(&parentOk);
    const quint64 flags = fields[flagsIndex].toULongLong(&flagsOk);
    stat.startTime = fields[startIndex].toULongLong(&startOk);
    if (!parentOk || !flagsOk || !startOk)
        return std::nullopt;
    stat.kernelThread = (flags & kernelThreadFlag) != 0;
    return stat;
}

std::optional<ProcStat> ProcStat::read(const QString& procRoot, pid_t pid)
{
    QFile file(procRoot + QLatin1Char('/') + QString::number(pid) + QStringLiteral("/stat"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    return parse(file.readAll());
}
