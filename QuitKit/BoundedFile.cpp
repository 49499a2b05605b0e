#include "BoundedFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedFile
{

std::variant<QByteArray, Problem> read(const QString& path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (stat(name.constData(), &info) != 0)
        return errno == ENOENT ? Problem::Missing : Problem::Unreadable;
    if (!S_ISREG(info.st_mode))
        return Problem::NotRegular;
    if (info.st_size > limit)
        return Problem::TooLarge;
    const int descriptor = open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT ? Problem::Missing : Problem::Unreadable;
    QFile file;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return Problem::NotRegular;
    }
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(descriptor);
        return Problem::Unreadable;
    }
    // One byte more than allowed shows a file that grew since it was measured.
    QByteArray contents = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return Problem::Unreadable;
    if (contents.size() > limit)
        return Problem::TooLarge;
    return contents;
}

} // namespace BoundedFile
