#pragma once

#include <QJsonValue>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

// What the main button quits: everything not kept, only distractions, or all but call apps.
class QuitPreset
{
    Q_GADGET
    Q_PROPERTY(Value value READ value CONSTANT)
    Q_PROPERTY(QString rawValue READ rawValue CONSTANT)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString explanation READ explanation CONSTANT)

public:
    enum Value { everything, work, call };
    Q_ENUM(Value)

    // Why a stored value could not be read back as a preset.
    struct DataCorrupted {
        QString description;
        friend bool operator==(const DataCorrupted&, const DataCorrupted&) = default;
    };

    constexpr QuitPreset(Value value = everything) : current(value) {}

    // The presets in the order the picker shows them.
    static const QList<QuitPreset>& allCases();
    // The preset whose raw value is exactly `rawValue`.
    static std::optional<QuitPreset> fromRawValue(const QString& rawValue);
    // The preset a stored raw value names; anything but one of the raw value texts is an error.
    static std::variant<QuitPreset, DataCorrupted> decode(const QJsonValue& stored);

    constexpr Value value() const { return current; }
    // The stable text stored in settings: "everything", "work" or "call".
    QString rawValue() const;
    QJsonValue encode() const { return rawValue(); }
    // The user-visible name and one-sentence description, localised.
    QString title() const;
    QString explanation() const;

    friend constexpr bool operator==(QuitPreset, QuitPreset) = default;

private:
    Value current;
};

size_t qHash(QuitPreset preset, size_t seed = 0) noexcept;

template <> struct std::hash<QuitPreset> {
    size_t operator()(QuitPreset preset) const noexcept { return qHash(preset); }
};
