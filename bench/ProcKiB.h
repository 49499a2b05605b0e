#pragma once

#include <QByteArray>
#include <QString>

/// The figure of a "Field:   1234 kB" line in a /proc file such as /proc/meminfo or
/// /proc/self/status, in KiB; 0 when the file or the field cannot be read.
quint64 procKiB(const QString& file, const QByteArray& field);
