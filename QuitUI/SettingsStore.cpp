#include "SettingsStore.h"

#include "ConfigHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace
{

QString storeDirectory()
{
    return configHome() + QStringLiteral("/nimbrel");
}

// Every value in the file; nothing when the file exists but cannot be read or parsed whole.
std::optional<QHash<QString, QVariant>> readFile(const QString& path)
{
    QHash<QString, QVariant> values;
    if (!QFileInfo::exists(path))
        return values;
    const QSettings file(path, QSettings::IniFormat);
    // allKeys() parses every section, so a damaged line anywhere shows in status().
    const QStringList keys = file.allKeys();
    if (file.status() != QSettings::NoError)
        return std::nullopt;
    for (const QString& key : keys)
        values.insert(key, file.value(key));
    return values;
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

QString SettingsStore::standardName()
{
    return QStringLiteral(NIMBREL_APP_ID);
}

SettingsStore::SettingsStore(const QString& name)
    : filePath(storeDirectory() + QLatin1Char('/') + name + QStringLiteral(".conf"))
{
    if (auto stored = readFile(filePath)) {
        values = std::move(*stored);
        return;
    }
    if (const auto kept = keepAside(filePath))
        qWarning().noquote() << "Settings file" << filePath << "could not be read; kept it as"
                             << *kept << "and started with defaults";
    else
        warnOnce(QStringLiteral("could not be read nor moved aside; starting with defaults"));
}

std::optional<QString> SettingsStore::string(const QString& key) const
{
    const QVariant value = values.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

QStringList SettingsStore::stringList(const QString& key) const
{
    // The file keeps a one-element list as a plain text.
    const QVariant value = values.value(key);
    if (value.typeId() == QMetaType::QString)
        return {value.toString()};
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList();
    return {};
}

bool SettingsStore::boolean(const QString& key) const
{
    const QVariant value = values.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.typeId() == QMetaType::QString &&
           value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

void SettingsStore::setString(const QString& key, const QString& value)
{
    write(key, value);
}

void SettingsStore::setStringList(const QString& key, const QStringList& value)
{
    write(key, value);
}

void SettingsStore::setBoolean(const QString& key, bool value)
{
    write(key, value);
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
    // Someone may have damaged the file since it was read; never write over what can't be read.
    if (!readFile(filePath)) {
        const auto kept = keepAside(filePath);
        if (!kept) {
            warnOnce(QStringLiteral("cannot be read nor moved aside"));
            return;
        }
        qWarning().noquote() << "Settings file" << filePath << "could not be read; kept it as"
                             << *kept;
        // The new file starts empty, so it needs every value, not only the latest ones.
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            unsaved.insert(value.key());
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
}

void SettingsStore::warnOnce(const QString& problem)
{
    if (warned)
        return;
    warned = true;
    qWarning().noquote() << "Settings file" << filePath << problem
                         << "- settings are kept in memory until the program ends";
}
