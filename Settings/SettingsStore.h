#pragma once

#include "IniText.h"
#include "SettingsKey.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

/// A persistent store of small settings: the program's own (standard) store or a named suite,
/// each one file in QSettings' INI format under $XDG_CONFIG_HOME/nimbrel/.
///
/// Values are read into memory when the store opens and read from there afterwards; opening and
/// reading never change the file. Every write saves at once and atomically, key by key, so two
/// stores over one file keep each other's keys. A file that cannot be parsed (or is over 1 MB)
/// starts the store empty and is moved aside (NAME.conf.corrupt) by the first write, with one
/// warning. A file that cannot be opened is left alone and never written over. When the file
/// cannot be written (a full disk or quota too) the old file stays as it was, the values stay in
/// memory, a warning saying why is logged once, writeProblem() says why until a write succeeds,
/// and the next write tries again. Main thread only.
class SettingsStore
{
public:
    /// The program's own store, named after the program's identifier.
    static SettingsStore standard();
    /// A named suite; nothing when the name is empty, contains '/' or is the program's identifier.
    static std::optional<SettingsStore> suite(const QString& name);
    /// The suite `name`, or the standard store when that suite cannot be opened.
    static SettingsStore suiteOrStandard(const QString& name);
    /// The store the program and nimbrelctl use: the suite NIMBREL_DEFAULTS names, else the
    /// standard one.
    static SettingsStore program();
    /// The program's identifier, which names the standard store.
    static QString standardName();

    SettingsStore(SettingsStore&&) = default;
    SettingsStore& operator=(SettingsStore&&) = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    /// Why the stored values could not be read when the store opened.
    enum class ReadProblem { unreadable, corrupt };

    /// The file behind the store.
    QString path() const { return filePath; }
    /// What kept the file's values out of the store; nothing when they were read (or no file).
    std::optional<ReadProblem> readProblem() const { return readFailure; }
    /// Why the latest values could not be saved (a full disk, say); nothing once they are.
    std::optional<QString> writeProblem() const { return writeFailure; }

    /// The text under `key`; nothing when absent or not a text.
    std::optional<QString> value(SettingsKey<QString> key) const;
    /// The list of texts under `key`; empty when absent.
    QStringList value(SettingsKey<QStringList> key) const;
    /// The Boolean under `key`; false when absent.
    bool value(SettingsKey<bool> key) const;

    void set(SettingsKey<QString> key, const QString& value);
    void set(SettingsKey<QStringList> key, const QStringList& value);
    void set(SettingsKey<bool> key, bool value);

private:
    explicit SettingsStore(const QString& name);

    void write(const QString& key, const IniText::Value& value);
    void save();
    // Records why the values stay unsaved, and says so in the log the first time.
    void failedToSave(const QString& problem);

    QString filePath;
    std::optional<ReadProblem> readFailure;
    std::optional<QString> writeFailure;
    IniText::Entries values;
    QSet<QString> unsaved; // keys whose last write has not reached the file yet
    bool warned = false;
};
