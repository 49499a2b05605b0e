#include "FirstCheckDelegate.h"

#include "SettingsStore.h"

FirstCheckDelegate::FirstCheckDelegate(FirstCheck::BuildInformation information_)
    : information(std::move(information_))
{
}

QList<UpdaterDelegate::Parameter> FirstCheckDelegate::feedParameters()
{
    // A fresh store each time, so a flag written by another store over the file is seen.
    return FirstCheck::parameters(SettingsStore::standard(), FirstCheck::enabled(information));
}

void FirstCheckDelegate::didFinishLoadingAppcast(const Appcast&)
{
    if (!FirstCheck::enabled(information))
        return;
    SettingsStore defaults = SettingsStore::standard();
    FirstCheck::markSent(defaults);
}
