#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Replaces the file at `path` with `contents` as a whole: readers see the old file or the new one,
// never a part, and a write that fails (on a full disk too) leaves the old one. Nothing when
// written, else why not.
std::optional<QString> writeAtomically(const QString& path, const QByteArray& contents);
