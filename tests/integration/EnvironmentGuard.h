#pragma once

#include <QByteArray>
#include <QHash>

#include <optional>

// Environment variables of this process that a test session changes, each put back as it was
// when the guard goes.
class EnvironmentGuard
{
public:
    EnvironmentGuard() = default;
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

    // Sets `name` to `value`; a null value unsets it.
    void set(const char* name, const QByteArray& value);

private:
    QHash<QByteArray, std::optional<QByteArray>> saved;
};
