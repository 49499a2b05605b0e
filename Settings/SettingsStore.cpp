#include "SettingsStore.h"

#include "AtomicWrite.h"
#include "BoundedFile.h"
#include "ConfigHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

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

// Every entry in the file (none when there is no file), or why they cannot be had. Opens without
// blocking, so a FIFO or device in its place cannot hang the program.
std::variant<IniText::Entries, ReadProblem> readFile(const QString& path)
{
    const auto read = BoundedFile::read(path, largestFile);
    if (const BoundedFile::Problem* problem = std::get_if<BoundedFile::Problem>(&read)) {
        switch (*problem) {
        case BoundedFile::Problem::Missing:
            return IniText::Entries{};
        case BoundedFile::Problem::TooLarge:
            return ReadProblem::corrupt;
        case BoundedFile::Problem::NotRegular:
        case BoundedFile::Problem::Unreadable:
            return ReadProblem::unreadable;
        }
    }
    std::optional<IniText::Entries> entries = IniText::entries(std::get<QByteArray>(read));
    if (!entries)
        return ReadProblem::corrupt;
    return std::move(*entries);
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

// QSettings reads a value starting with one '@' as another type ("@Invalid()" is how it keeps
// an empty list), so a text of ours starting with '@' is stored with the '@' doubled.
QString storedText(const QString& text)
{
    return text.startsWith(u'@') ? u'@' + text : text;
}

// The text a stored one holds; nothing for a value of another type.
std::optional<QString> textOf(const QString& stored)
{
    if (!stored.startsWith(u'@'))
        return stored;
    if (stored.startsWith(QLatin1String("@@")))
        return stored.sliced(1);
    return std::nullopt;
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
    if (auto* entries = std::get_if<IniText::Entries>(&stored))
        values = std::move(*entries);
    else
        readFailure = std::get<ReadProblem>(stored);
}

std::optional<QString> SettingsStore::value(SettingsKey<QString> key) const
{
    const auto found = values.constFind(key.text());
    if (found == values.cend())
        return std::nullopt;
    const QString* one = std::get_if<QString>(&*found);
    return one ? textOf(*one) : std::nullopt;
}

QStringList SettingsStore::value(SettingsKey<QStringList> key) const
{
    const auto found = values.constFind(key.text());
    if (found == values.cend())
        return {};
    // The file keeps a one-element list as a plain text.
    if (const QString* one = std::get_if<QString>(&*found)) {
        if (const std::optional<QString> single = textOf(*one))
            return {*single};
        return {};
    }
    QStringList texts;
    for (const QString& element : std::get<QStringList>(*found)) {
        const std::optional<QString> single = textOf(element);
        // QSettings reads the whole list as values of other types then.
        if (!single)
            return {};
        texts.append(*single);
    }
    return texts;
}

bool SettingsStore::value(SettingsKey<bool> key) const
{
    const std::optional<QString> stored = value(SettingsKey<QString>{key.name});
    return stored && stored->compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

void SettingsStore::set(SettingsKey<QString> key, const QString& value)
{
    write(key.text(), storedText(value));
}

void SettingsStore::set(SettingsKey<QStringList> key, const QStringList& value)
{
    QStringList texts;
    for (const QString& element : value)
        texts.append(storedText(element));
    write(key.text(), texts);
}

void SettingsStore::set(SettingsKey<bool> key, bool value)
{
    write(key.text(), value ? QStringLiteral("true") : QStringLiteral("false"));
}

void SettingsStore::write(const QString& key, const IniText::Value& value)
{
    values.insert(key, value);
    unsaved.insert(key);
    save();
}

void SettingsStore::save()
{
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath())) {
        failedToSave(QStringLiteral("cannot be created"));
        return;
    }
    // Another process writing the file waits for us, as with QSettings' own lock. Where no lock
    // can be made the file cannot be written either, which the write reports.
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.lock();
    // The file is read again: someone may have changed, damaged, repaired or locked it since.
    auto stored = readFile(filePath);
    auto* entries = std::get_if<IniText::Entries>(&stored);
    if (!entries && std::get<ReadProblem>(stored) == ReadProblem::unreadable) {
        // Its values may be good; writing a new file would lose them.
        failedToSave(QStringLiteral("cannot be read, so it is left as it is"));
        return;
    }
    IniText::Entries file;
    if (entries) {
        file = std::move(*entries);
    } else {
        const auto kept = keepAside(filePath);
        if (!kept) {
            failedToSave(QStringLiteral("cannot be read nor moved aside"));
            return;
        }
        qWarning().noquote() << "Settings file" << filePath << "could not be read; kept it as"
                             << *kept << "and saved the current settings anew";
        // The new file starts empty, so it needs every value, not only the latest ones.
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            unsaved.insert(value.key());
    }
    for (const QString& key : std::as_const(unsaved))
        file.insert(key, values.value(key));
    if (const std::optional<QString> failure = writeAtomically(filePath, IniText::text(file))) {
        failedToSave(QStringLiteral("cannot be written (%1)").arg(*failure));
        return;
    }
    unsaved.clear();
    readFailure.reset();
    writeFailure.reset();
}

void SettingsStore::failedToSave(const QString& problem)
{
    writeFailure = filePath + QLatin1Char(' ') + problem;
    if (warned)
        return;
    warned = true;
    qWarning().noquote() << "Settings file" << filePath << problem
                         << "- settings are kept in memory until the program ends";
}
