#pragma once

#include "FeedLoader.h"

#include <QCoroTask>
#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>

struct Appcast;
class UpdaterDelegate;
class UserDriver;

/// Checks an HTTPS appcast feed for a newer version: shortly after start-up when a check is due,
/// then once a day while running, and whenever the user asks. The last check's time and a
/// skipped version are kept in the program's standard store. Main thread only.
class Updater : public QObject
{
    Q_OBJECT

public:
    struct Settings {
        QUrl feedURL;
        QString currentVersion;
        std::chrono::milliseconds timeout = std::chrono::seconds(30);
        qint64 maxFeedBytes = 1024 * 1024;
        std::chrono::milliseconds soonAfterStart = std::chrono::minutes(1);
        std::chrono::milliseconds interval = std::chrono::hours(24);
        std::function<QDateTime()> clock = &QDateTime::currentDateTimeUtc;
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    };

    /// A running updater; nothing when the feed address is empty, and nothing with one log line
    /// when it is not an HTTPS address. `delegate` and `driver` must outlive it.
    static std::unique_ptr<Updater> start(Settings settings, UpdaterDelegate& delegate,
                                          UserDriver& driver);

    /// Checks now and tells the user the outcome, whatever it is.
    void checkForUpdates();
    /// What the schedule runs: failures stay silent and a skipped version is not offered.
    void checkInBackground();

signals:
    /// A check has ended, however it went.
    void checkFinished();

private:
    Updater(Settings settings, UpdaterDelegate& delegate, UserDriver& driver);

    QCoro::Task<> check();
    QUrl feedRequestURL();
    void offer(const Appcast& appcast);
    void scheduleNextCheck();

    Settings settings;
    UpdaterDelegate& delegate;
    UserDriver& driver;
    QNetworkAccessManager network;
    FeedLoader loader;
    QTimer schedule;
    bool checking = false;
    bool userAsked = false; // the running check reports to the user
};
