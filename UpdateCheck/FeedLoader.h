#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

/// Fetches an update feed over HTTPS within a time and size limit, following redirects only to
/// other HTTPS addresses.
class FeedLoader
{
public:
    struct Limits {
        std::chrono::milliseconds timeout;
        qint64 maxBytes;
    };
    /// The feed's document, or why there is none in words a user understands.
    struct Result {
        std::optional<QByteArray> document;
        QString failure;
    };

    /// `network` must outlive every load; `tls` decides which certificates are trusted.
    FeedLoader(QNetworkAccessManager& network, QSslConfiguration tls, Limits limits);

    /// Always ends, at the latest when the time limit is reached.
    QCoro::Task<Result> load(QUrl url);

private:
    static QString describeFailure(const QNetworkReply& reply);

    QNetworkAccessManager& network;
    QSslConfiguration tls;
    Limits limits;
};
