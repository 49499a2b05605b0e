#pragma once

#include <QString>

#include <optional>

/// The program's "start at login" entry: an XDG autostart desktop entry,
/// $XDG_CONFIG_HOME/autostart/<program id>.desktop, that starts the program with the session.
///
/// An entry is ours when it carries our marker key; an entry that is not ours is never
/// overwritten nor removed. The file is read as untrusted input: only a regular file of at most
/// 64 KiB is read, so a FIFO or a device at the path cannot hang or flood the reader.
class LoginItem
{
public:
    enum class Status {
        NotRegistered, // nothing at the path
        NotOurs,       // someone else's entry, or one that cannot be read
        Disabled,      // ours, but hidden or switched off by the session settings
        Enabled,
    };

    /// `programPath` is the absolute path of the program the entry starts.
    LoginItem(const QString& programId, const QString& programPath);

    /// Where the entry lives; fixed when the item is made.
    QString path() const { return entryPath; }

    Status status() const;
    bool isEnabled() const { return status() == Status::Enabled; }

    /// Writes our entry, enabled, replacing one of ours; what went wrong otherwise.
    std::optional<QString> registerItem() const;
    /// Removes our entry; nothing to do when there is none; what went wrong otherwise.
    std::optional<QString> unregisterItem() const;

private:
    QString programId;
    QString programPath;
    QString entryPath;
};
