#pragma once

#include <QByteArray>
#include <QString>

#include <variant>

// Reading files that other programs can put in our way: a FIFO, a device or a huge file at the
// path must neither hang nor flood the reader.
namespace BoundedFile
{

enum class Problem {
    Missing,
    NotRegular, // a folder, FIFO, device or socket, also behind a symlink
    TooLarge,
    Unreadable,
};

/// The whole regular file at `path` when it holds at most `limit` bytes. A device is never
/// opened; the file is opened without blocking, so one swapped in meanwhile cannot stall it.
std::variant<QByteArray, Problem> read(const QString& path, qint64 limit);

} // namespace BoundedFile
