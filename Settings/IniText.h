#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// The text of an INI file as QSettings writes and reads it: sections, escaped keys, quoted and
// escaped values, lists. Read from and written to memory, since QSettings reads only files and
// reuses what it parsed while a file's size and time stay the same.
namespace IniText
{

// A value as the file spells it out, before QSettings reads a type into it.
using Value = std::variant<QString, QStringList>;
// Values by key: "key" for [General], else "section/key".
using Entries = QMap<QString, Value>;

// Every entry in `text`; nothing when a section header is not closed or a line has no '='.
std::optional<Entries> entries(QByteArrayView text);
// The text for `entries`: [General] first, then the other sections by name.
QByteArray text(const Entries& entries);

} // namespace IniText
