#include "AtomicWrite.h"

#include <QSaveFile>

std::optional<QString> writeAtomically(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    // Qt 6.4's commit() flushes only while closing and then ignores a failed flush: on a full
    // disk it would put an empty file in place of the old one. Flushed first, a failure leaves
    // the old file where it is.
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() &&
        file.flush() && file.error() == QFileDevice::NoError && file.commit() &&
        file.error() == QFileDevice::NoError)
        return std::nullopt;
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
}
