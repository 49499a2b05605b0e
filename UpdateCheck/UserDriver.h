#pragma once

#include "Appcast.h"

#include <QString>

#include <functional>

/// How the updater talks to the user. Called on the main thread.
class UserDriver
{
public:
    enum class Choice { Download, SkipThisVersion, Later };

    virtual ~UserDriver() = default;

    /// Offers `update`; "Download" opens its page in the browser. `chosen` hears the answer.
    virtual void showUpdateFound(const Appcast::Item& update, const QString& currentVersion,
                                 std::function<void(Choice)> chosen) = 0;
    /// A check the user asked for found nothing newer.
    virtual void showUpToDate(const QString& currentVersion) = 0;
    /// A check the user asked for failed; `message` says why in plain words.
    virtual void showUpdaterError(const QString& message) = 0;
};
