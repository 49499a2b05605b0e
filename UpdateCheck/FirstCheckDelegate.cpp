#include "FirstCheckDelegate.h"

#include "SettingsStore.h"

FirstCheckDelegate::FirstCheckDelegate(FirstCheck::BuildInformation information)
    : information(std::move(information))
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
