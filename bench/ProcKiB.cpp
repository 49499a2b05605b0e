#include "ProcKiB.h"

#include <QFile>

quint64 procKiB(const QString& file, const QByteArray& field)
{
    QFile proc(file);
    if (!proc.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : proc.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toULongLong();
    }
    return 0;
}
