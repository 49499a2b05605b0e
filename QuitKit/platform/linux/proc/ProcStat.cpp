#include "ProcStat.h"

#include <QFile>

#include <limits>

namespace
{

constexpr quint64 kernelThreadFlag = 0x00200000; // PF_KTHREAD

// The next run of characters up to a space or line end, after skipping spaces; advances `at`.
QByteArrayView nextField(QByteArrayView record, qsizetype& at)
{
    while (at < record.size() && (record[at] == ' ' || record[at] == '\n'))
        ++at;
    const qsizetype start = at;
    while (at < record.size() && record[at] != ' ' && record[at] != '\n')
        ++at;
    return record.sliced(start, at - start);
}

// Plain decimal digits only; nothing on anything else or on overflow.
std::optional<quint64> decimal(QByteArrayView field)
{
    if (field.isEmpty() || field.size() > 20)
        return std::nullopt;
    quint64 value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const quint64 digit = quint64(c - '0');
        if (value > (std::numeric_limits<quint64>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

std::optional<ProcStat> ProcStat::parse(QByteArrayView record)
{
    // The command name may hold spaces and parentheses; fields resume after the last ')'.
    const qsizetype close = record.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    // Scanned in place: every process's record is parsed on every measuring pass.
    constexpr int stateField = 3, parentField = 4, flagsField = 9, startField = 22;
    qsizetype at = close + 1;
    ProcStat stat;
    std::optional<quint64> parent, flags, start;
    for (int field = stateField; field <= startField; ++field) {
        const QByteArrayView text = nextField(record, at);
        if (text.isEmpty())
            return std::nullopt;
        if (field == stateField)
            stat.state = text[0];
        else if (field == parentField)
            parent = decimal(text);
        else if (field == flagsField)
            flags = decimal(text);
        else if (field == startField)
            start = decimal(text);
    }
    if (!parent || *parent > quint64(std::numeric_limits<pid_t>::max()) || !flags || !start)
        return std::nullopt;
    stat.parent = pid_t(*parent);
    stat.startTime = *start;
    stat.kernelThread = (*flags & kernelThreadFlag) != 0;
    return stat;
}

std::optional<ProcStat> ProcStat::read(const QString& procRoot, pid_t pid)
{
    QFile file(procRoot + QLatin1Char('/') + QString::number(pid) + QStringLiteral("/stat"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    return parse(file.readAll());
}
