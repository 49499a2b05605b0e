#pragma once

#include <QByteArray>
#include <QString>

// Fixture files on disk, written and read back whole.
namespace TestFiles
{

// Writes `contents` to `path`, replacing any file there and creating its folders;
// false when the file could not be written in full.
bool writeFile(const QString& path, const QByteArray& contents);
// The contents of the file at `path`; empty when it cannot be read.
QByteArray readFile(const QString& path);

} // namespace TestFiles
