#pragma once

#include "UserDriver.h"

/// The updater's dialogs: non-modal message boxes that delete themselves once answered.
class UpdateDialogs : public UserDriver
{
public:
    void showUpdateFound(const Appcast::Item& update, const QString& currentVersion,
                         std::function<void(Choice)> chosen) override;
    void showUpToDate(const QString& currentVersion) override;
    void showUpdaterError(const QString& message) override;
};
