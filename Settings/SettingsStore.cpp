#include "SettingsStore.h"

#include "AtomicWrite.h"
#include "BoundedFile.h"
#include "ConfigHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>

#include <variant>

namespace
{

QString storeDirectory()
{
    return configHome() + QStringLiteral("/nimbrel");
}

using ReadProblem = SettingsStore::ReadProblem;

// Ours are a few lines; anything far larger is not a settings file of ours.
constexpr qint64 largestFile = 1024 * 1024;
const QByteArray byteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

struct StoredFile {
    QHash<QString, QVariant> values;
    bool byteOrderMark = false;
};

// Every value of INI text, or why there are none. QSettings parses only files and caches them by
// name and time, so each reading gets a fresh copy.
std::variant<QHash<QString, QVariant>, ReadProblem> parse(const QByteArray& text)
{
    QTemporaryFile copy;
    // No room for the copy says nothing about the file itself.
    if (!copy.open() || copy.write(text) != text.size() || !copy.flush())
        return ReadProblem::unreadable;
    QHash<QString, QVariant> values;
    const QSettings file(copy.fileName(), QSettings::IniFormat);
    // allKeys() parses every section, so a damaged line anywhere shows in status().
    const QStringList keys = file.allKeys();
    if (file.status() != QSettings::NoError)
        return ReadProblem::corrupt;
    for (const QString& key : keys)
        values.insert(key, file.value(key));
    return values;
}

// Every value in the file (none when there is no file), or why they cannot be had. Opens without
// blocking, so a FIFO or device in its place cannot hang the program.
std::variant<StoredFile, ReadProblem> readFile(const QString& path)
{
    const auto read = BoundedFile::read(path, largestFile);
    if (const BoundedFile::Problem* problem = std::get_if<BoundedFile::Problem>(&read)) {
        switch (*problem) {
        case BoundedFile::Problem::Missing:
            return StoredFile{};
        case BoundedFile::Problem::TooLarge:
            return ReadProblem::corrupt;
        case BoundedFile::Problem::NotRegular:
        case BoundedFile::Problem::Unreadable:
            return ReadProblem::unreadable;
        }
    }
    QByteArray text = std::get<QByteArray>(read);
    StoredFile stored;
    // QSettings takes a leading byte-order mark for part of the first line.
    stored.byteOrderMark = text.startsWith(byteOrderMark);
    if (stored.byteOrderMark)
        text.remove(0, byteOrderMark.size());
    auto values = parse(text);
    if (const ReadProblem* problem = std::get_if<ReadProblem>(&values))
        return *problem;
    stored.values = std::move(std::get<QHash<QString, QVariant>>(values));
    return stored;
}

// Drops a leading byte-order mark so QSettings can merge its writes into the file.
bool dropByteOrderMark(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.skip(byteOrderMark.size());
    const QByteArray rest = file.read(largestFile);
    return !writeAtomically(path, rest);
}

// Moves an unreadable file out of the way under a name no earlier copy uses; false when it stays.
std::optional<QString> keepAside(const QString& path)
{
    QString target = path + QStringLiteral(".corrupt");
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".corrupt.%1").arg(n);
    if (!QFile::rename(path, target))
        return std::nullopt;
    return target;
}

} // namespace

SettingsStore SettingsStore::standard()
{
    return SettingsStore(standardName());
}

std::optional<SettingsStore> SettingsStore::suite(const QString& name)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == standardName())
        return std::nullopt;
    return SettingsStore(name);
}

SettingsStore SettingsStore::suiteOrStandard(const QString& name)
{
    if (std::optional<SettingsStore> named = suite(name))
        return std::move(*named);
    return standard();
}

SettingsStore SettingsStore::program()
{
    return suiteOrStandard(qEnvironmentVariable("NIMBREL_DEFAULTS"));
}

QString SettingsStore::standardName()
{
    return QStringLiteral(NIMBREL_APP_ID);
}

SettingsStore::SettingsStore(const QString& name)
    : filePath(storeDirectory() + QLatin1Char('/') + name + QStringLiteral(".conf"))
{
    auto stored = readFile(filePath);
    if (auto* file = std::get_if<StoredFile>(&stored))
        values = std::move(file->values);
    else
        readFailure = std::get<ReadProblem>(stored);
}

std::optional<QString> SettingsStore::value(SettingsKey<QString> key) const
{
    const QVariant value = values.value(key.text());
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

QStringList SettingsStore::value(SettingsKey<QStringList> key) const
{
    // The file keeps a one-element list as a plain text.
    const QVariant value = values.value(key.text());
    if (value.typeId() == QMetaType::QString)
        return {value.toString()};
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    return {};
}

bool SettingsStore::value(SettingsKey<bool> key) const
{
    const QVariant value = values.value(key.text());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.typeId() == QMetaType::QString &&
           value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

void SettingsStore::set(SettingsKey<QString> key, const QString& value)
{
    write(key.text(), value);
}

void SettingsStore::set(SettingsKey<QStringList> key, const QStringList& value)
{
    write(key.text(), value);
}

void SettingsStore::set(SettingsKey<bool> key, bool value)
{
    write(key.text(), value);
}

void SettingsStore::write(const QString& key, const QVariant& value)
{
    values.insert(key, value);
    unsaved.insert(key);
    save();
}

void SettingsStore::save()
{
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath())) {
        warnOnce(QStringLiteral("cannot be created"));
        return;
    }
    // The file is read again: someone may have damaged, repaired or locked it since.
    const auto stored = readFile(filePath);
    const auto* readable = std::get_if<StoredFile>(&stored);
    if (!readable && std::get<ReadProblem>(stored) == ReadProblem::unreadable) {
        // Its values may be good; writing a new file would lose them.
        warnOnce(QStringLiteral("cannot be read, so it is left as it is"));
        return;
    }
    if (!readable) {
        const auto kept = keepAside(filePath);
        if (!kept) {
            warnOnce(QStringLiteral("cannot be read nor moved aside"));
            return;
        }
        qWarning().noquote() << "Settings file" << filePath << "could not be read; kept it as"
                             << *kept << "and saved the current settings anew";
        // The new file starts empty, so it needs every value, not only the latest ones.
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            unsaved.insert(value.key());
    } else if (readable->byteOrderMark && !dropByteOrderMark(filePath)) {
        warnOnce(QStringLiteral("cannot be written"));
        return;
    }
    QSettings file(filePath, QSettings::IniFormat);
    // Writes go to a temporary file renamed over the old one, never into the file in place.
    file.setAtomicSyncRequired(true);
    for (const QString& key : std::as_const(unsaved))
        file.setValue(key, values.value(key));
    file.sync();
    if (file.status() != QSettings::NoError) {
        warnOnce(QStringLiteral("cannot be written"));
        return;
    }
    unsaved.clear();
    readFailure.reset();
}

void SettingsStore::warnOnce(const QString& problem)
{
    if (warned)
        return;
    warned = true;
    qWarning().noquote() << "Settings file" << filePath << problem
                         << "- settings are kept in memory until the program ends";
}
