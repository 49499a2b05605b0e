#include "AtomicWrite.h"

#include <QSaveFile>

std::optional<QString> writeAtomically(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size() && file.commit())
        return std::nullopt;
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
}
