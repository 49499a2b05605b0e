#include "Updater.h"

#include "Appcast.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "UpdateSchedule.h"
#include "UpdaterDelegate.h"
#include "UserDriver.h"
#include "VersionComparison.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrlQuery>

namespace
{

std::optional<QDateTime> lastCheck(const SettingsStore& defaults)
{
    const std::optional<QString> stored = defaults.value(SettingsKeys::lastUpdateCheck);
    if (!stored)
        return std::nullopt;
    return QDateTime::fromString(*stored, Qt::ISODateWithMs);
}

} // namespace

std::unique_ptr<Updater> Updater::start(Settings settings, UpdaterDelegate& delegate,
                                        UserDriver& driver)
{
    if (settings.feedURL.isEmpty())
        return nullptr;
    if (settings.feedURL.scheme() != QLatin1String("https")) {
        qWarning().noquote() << "nimbrel: not checking for updates: the feed address"
                             << settings.feedURL.toDisplayString() << "is not https";
        return nullptr;
    }
    std::unique_ptr<Updater> updater(new Updater(std::move(settings), delegate, driver));
    updater->scheduleNextCheck();
    return updater;
}

Updater::Updater(Settings settings_, UpdaterDelegate& delegate_, UserDriver& driver_)
    : settings(std::move(settings_)), delegate(delegate_), driver(driver_),
      loader(network, this->settings.tls, {this->settings.timeout, this->settings.maxFeedBytes})
{
    schedule.setSingleShot(true);
    connect(&schedule, &QTimer::timeout, this, &Updater::checkInBackground);
}

void Updater::checkForUpdates()
{
    // A check already under way reports to the user instead of starting a second one.
    userAsked = true;
    if (!checking)
        check();
}

void Updater::checkInBackground()
{
    if (!checking)
        check();
}

QCoro::Task<> Updater::check()
{
    checking = true;
    schedule.stop();
    const QPointer<Updater> self = this;
    QCoro::Task<FeedLoader::Result> load = loader.load(feedRequestURL());
    const FeedLoader::Result loaded = co_await load;
    if (!self)
        co_return;

    SettingsStore defaults = SettingsStore::standard();
    defaults.set(SettingsKeys::lastUpdateCheck, settings.clock().toString(Qt::ISODateWithMs));
    const std::optional<Appcast> appcast =
        loaded.document ? Appcast::parse(*loaded.document) : std::nullopt;
    if (appcast) {
        delegate.didFinishLoadingAppcast(*appcast);
        offer(*appcast);
    } else if (userAsked) {
        driver.showUpdaterError(
            loaded.document ? QCoreApplication::translate(
                                  "UpdateCheck", "The update information could not be read.")
                            : loaded.failure);
    }
    // Background failures wait for the next scheduled check.
    checking = false;
    userAsked = false;
    scheduleNextCheck();
    emit checkFinished();
}

QUrl Updater::feedRequestURL()
{
    QUrl url = settings.feedURL;
    QUrlQuery query(url);
    for (const UpdaterDelegate::Parameter& parameter : delegate.feedParameters())
        query.addQueryItem(parameter.value(QStringLiteral("key")),
                           parameter.value(QStringLiteral("value")));
    url.setQuery(query);
    return url;
}

void Updater::offer(const Appcast& appcast)
{
    const std::optional<Appcast::Item> newest = appcast.newest();
    const bool newer =
        newest && VersionComparison::compare(newest->version, settings.currentVersion) > 0;
    if (!newer) {
        if (userAsked)
            driver.showUpToDate(settings.currentVersion);
        return;
    }
    if (!userAsked && SettingsStore::standard().value(SettingsKeys::skippedVersion) ==
                          std::optional(newest->version))
        return;
    const QString version = newest->version;
    driver.showUpdateFound(*newest, settings.currentVersion, [version](UserDriver::Choice choice) {
        if (choice == UserDriver::Choice::SkipThisVersion)
            SettingsStore::standard().set(SettingsKeys::skippedVersion, version);
    });
}

void Updater::scheduleNextCheck()
{
    const std::chrono::milliseconds delay =
        UpdateSchedule::delayUntilNextCheck(lastCheck(SettingsStore::standard()), settings.clock(),
                                            settings.soonAfterStart, settings.interval);
    schedule.start(delay);
}
