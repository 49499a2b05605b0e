#include "FeedLoader.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <memory>

namespace
{

const int maxRedirects = 5;

// Deletes the reply once the load is over, unless its manager has taken it along already.
struct ReplyGuard {
    QPointer<QNetworkReply> reply;
    ~ReplyGuard()
    {
        if (reply)
            reply->deleteLater();
    }
};

} // namespace

FeedLoader::FeedLoader(QNetworkAccessManager& network_, QSslConfiguration tls_, Limits limits_)
    : network(network_), tls(std::move(tls_)), limits(limits_)
{
}

QCoro::Task<FeedLoader::Result> FeedLoader::load(QUrl url)
{
    if (url.scheme() != QLatin1String("https"))
        co_return Result{std::nullopt,
                         QCoreApplication::translate(
                             "UpdateCheck", "The update feed's address is not a secure one.")};
    QNetworkRequest request(url);
    request.setSslConfiguration(tls);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    // The request carries nothing that could tell one installation from another.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    const ReplyGuard guard{network.get(request)};
    QNetworkReply* reply = guard.reply;
    auto tooLarge = std::make_shared<bool>(false);
    const qint64 maxBytes = limits.maxBytes;
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, tooLarge, maxBytes](qint64 received, qint64 total) {
                         if (received <= maxBytes && total <= maxBytes)
                             return;
                         *tooLarge = true;
                         reply->abort();
                     });

    // Named, not awaited as a temporary: g++ 12 destroys temporaries of co_await twice.
    QCoro::Task<bool> wait = qCoro(reply).waitForFinished(limits.timeout);
    const bool finished = co_await wait;
    if (!guard.reply)
        co_return Result{std::nullopt, QCoreApplication::translate(
                                           "UpdateCheck", "The update check was stopped.")};
    if (!finished) {
        reply->abort();
        co_return Result{std::nullopt,
                         QCoreApplication::translate("UpdateCheck",
                                                     "The update server did not answer in time.")};
    }
    if (*tooLarge || reply->bytesAvailable() > maxBytes)
        co_return Result{std::nullopt,
                         QCoreApplication::translate(
                             "UpdateCheck", "The update information is unexpectedly large.")};
    if (reply->error() != QNetworkReply::NoError)
        co_return Result{std::nullopt, describeFailure(*reply)};
    co_return Result{reply->readAll(), QString()};
}

QString FeedLoader::describeFailure(const QNetworkReply& reply)
{
    switch (reply.error()) {
    case QNetworkReply::SslHandshakeFailedError:
        return QCoreApplication::translate("UpdateCheck",
                                           "The update server's identity could not be verified.");
    case QNetworkReply::InsecureRedirectError:
    case QNetworkReply::TooManyRedirectsError:
        return QCoreApplication::translate(
            "UpdateCheck", "The update server sent Nimbrel on to an address it does not trust.");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TimeoutError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return QCoreApplication::translate(
            "UpdateCheck",
            "Nimbrel could not reach the update server. Check the internet connection and "
            "try again.");
    default:
        break;
    }
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0)
        return QCoreApplication::translate(
                   "UpdateCheck",
                   "The update server could not give the update information (error %1).")
            .arg(status);
    return QCoreApplication::translate("UpdateCheck",
                                       "The update information could not be loaded.");
}
