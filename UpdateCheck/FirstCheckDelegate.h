#pragma once

#include "FirstCheck.h"
#include "UpdaterDelegate.h"

/// Adds the first-check parameter to feed requests until a feed load succeeds, over the
/// program's standard store.
class FirstCheckDelegate : public UpdaterDelegate
{
public:
    /// `information` is asked for the opt-in on every call, never once for all.
    explicit FirstCheckDelegate(FirstCheck::BuildInformation information);

    QList<Parameter> feedParameters() override;
    void didFinishLoadingAppcast(const Appcast& appcast) override;

private:
    FirstCheck::BuildInformation information;
};
