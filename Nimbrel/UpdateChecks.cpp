#include "UpdateChecks.h"

#include "AppInfo.h"
#include "Updater.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QUrl>

namespace
{

// The build's information by key, as the update check asks for it.
QVariant buildInformation(const QString& key)
{
    if (key == FirstCheck::infoKey())
        return AppInfo::countsFirstCheck();
    return {};
}

} // namespace

UpdateChecks::UpdateChecks() : firstCheck(buildInformation) {}

UpdateChecks::~UpdateChecks() = default;

void UpdateChecks::start()
{
    Updater::Settings settings;
    settings.feedURL = AppInfo::feedURL();
    settings.currentVersion = AppInfo::version();
    updater = Updater::start(std::move(settings), firstCheck, dialogs);
}

void UpdateChecks::checkForUpdates()
{
    if (updater)
        return updater->checkForUpdates();
    const QUrl page(AppInfo::webPage());
    const QString address = page.host() + page.path();
    auto* alert = new QMessageBox(
        QMessageBox::Information, QStringLiteral("Nimbrel"),
        QCoreApplication::translate("Nimbrel", "Updates are checked in the version from %1.")
            .arg(address));
    alert->setTextFormat(Qt::PlainText);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->open();
}
