#pragma once

#include <QString>
#include <QStringList>

#include <concepts>

// A key of the settings store, typed by the value it holds: a text, a list of texts or a Boolean.
template <typename T>
requires std::same_as<T, QString> || std::same_as<T, QStringList> || std::same_as<T, bool>
struct SettingsKey {
    // The key as the file spells it.
    const char* name;

    QString text() const { return QString::fromLatin1(name); }
};
