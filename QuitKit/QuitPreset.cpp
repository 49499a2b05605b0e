#include "QuitPreset.h"

#include <QCoreApplication>
#include <QHash>

const QList<QuitPreset>& QuitPreset::allCases()
{
    static const QList<QuitPreset> cases{everything, work, call};
    return cases;
}

std::optional<QuitPreset> QuitPreset::fromRawValue(const QString& rawValue)
{
    for (QuitPreset preset : allCases()) {
        if (preset.rawValue() == rawValue)
            return preset;
    }
    return std::nullopt;
}

std::variant<QuitPreset, QuitPreset::DataCorrupted> QuitPreset::decode(const QJsonValue& stored)
{
    if (!stored.isString())
        return DataCorrupted{QStringLiteral("Expected a preset's raw value as text")};
    if (const std::optional<QuitPreset> preset = fromRawValue(stored.toString()))
        return *preset;
    return DataCorrupted{QStringLiteral("Cannot make a QuitPreset from the raw value \"%1\"")
                             .arg(stored.toString())};
}

QString QuitPreset::rawValue() const
{
    switch (current) {
    case everything:
        return QStringLiteral("everything");
    case work:
        return QStringLiteral("work");
    case call:
        return QStringLiteral("call");
    }
    Q_UNREACHABLE();
}

QString QuitPreset::title() const
{
    switch (current) {
    case everything:
        return QCoreApplication::translate("QuitKit", "Everything");
    case work:
        return QCoreApplication::translate("QuitKit", "Distractions");
    case call:
        return QCoreApplication::translate("QuitKit", "Before a Call");
    }
    Q_UNREACHABLE();
}

QString QuitPreset::explanation() const
{
    switch (current) {
    case everything:
        return QCoreApplication::translate(
            "QuitKit", "Quits every app in the taskbar except the ones you keep.");
    case work:
        return QCoreApplication::translate(
            "QuitKit", "Quits games, video, music, social apps and messengers. Work stays open.");
    case call:
        return QCoreApplication::translate(
            "QuitKit",
            "Quits everything except your call app and apps using the camera or microphone.");
    }
    Q_UNREACHABLE();
}

size_t qHash(QuitPreset preset, size_t seed) noexcept
{
    return qHash(preset.rawValue(), seed);
}
