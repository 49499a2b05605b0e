#include "FirstCheckDelegate.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestFiles.h"
#include "Updater.h"
#include "UserDriver.h"

#include <QProcess>
#include <QSignalSpy>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrlQuery>

using namespace std::chrono_literals;

namespace
{

// What the local feed server answers every request with.
struct Response {
    int status = 200;
    QByteArray body;
    QByteArray location;
    bool silent = false; // reads the request and never answers
};

// Records what the user would have been shown: "found 1.1", "up to date" or "error: …".
class RecordingDriver : public UserDriver
{
public:
    void showUpdateFound(const Appcast::Item& update, const QString&,
                         std::function<void(Choice)> chosen) override
    {
        shown.append("found " + update.displayVersion());
        chosen(answer);
    }
    void showUpToDate(const QString&) override { shown.append("up to date"); }
    void showUpdaterError(const QString& message) override { shown.append("error: " + message); }

    QStringList shown;
    Choice answer = Choice::Later;
};

QByteArray appcast(const QString& version)
{
    return QStringLiteral("<?xml version=\"1.0\"?><rss version=\"2.0\" "
                          "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
                          "<channel><item><sparkle:version>%1</sparkle:version>"
                          "<link>https://example.org/nimbrel</link></item></channel></rss>")
        .arg(version)
        .toUtf8();
}

FirstCheck::BuildInformation information(const QVariant& optIn)
{
    return
        [optIn](const QString& key) { return key == FirstCheck::infoKey() ? optIn : QVariant(); };
}

bool flagSent()
{
    return SettingsStore::standard().value(SettingsKeys::firstCheckSent);
}

} // namespace

Q_DECLARE_METATYPE(Response)

// Runs the updater against an HTTPS server of its own on 127.0.0.1, whose throwaway
// self-signed certificate only this test trusts.
class tst_Updater : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void firstParameterUntilALoadSucceeds_data();
    void firstParameterUntilALoadSucceeds();
    void badFeedsEndQuietly_data();
    void badFeedsEndQuietly();
    void offers_data();
    void offers();
    void startsOnlyWithAnHttpsFeed_data();
    void startsOnlyWithAnHttpsFeed();
    void dueCheckRunsSoonAfterStart();

private:
    QUrl feedURL() const { return QUrl(QStringLiteral("https://127.0.0.1:%1/feed").arg(port)); }
    Updater::Settings settings() const;
    static bool check(Updater& updater, bool userAsked);
    void answer(QSslSocket* socket);

    QTemporaryDir files;
    QSslServer server;
    QSslCertificate certificate;
    quint16 port = 0;
    Response response;
    QList<QUrlQuery> queries;
    std::unique_ptr<QTemporaryDir> config;
    RecordingDriver driver;
};

void tst_Updater::initTestCase()
{
    const QString key = files.filePath("key.pem");
    const QString pem = files.filePath("certificate.pem");
    QProcess openssl;
    openssl.start("openssl",
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "1", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", pem});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
        QSKIP("openssl could not make a certificate for the local feed server");
    certificate = QSslCertificate::fromPath(pem).value(0);
    QFile keyFile(key);
    QVERIFY(keyFile.open(QIODevice::ReadOnly));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificate);
    tls.setPrivateKey(QSslKey(&keyFile, QSsl::Ec));
    server.setSslConfiguration(tls);
    connect(&server, &QSslServer::pendingConnectionAvailable, this, [this] {
        while (auto* socket = qobject_cast<QSslSocket*>(server.nextPendingConnection())) {
            connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QSslSocket::readyRead, this, [this, socket] { answer(socket); });
            answer(socket); // the request may have come with the handshake
        }
    });
    QVERIFY(server.listen(QHostAddress::LocalHost));
    port = server.serverPort();
}

void tst_Updater::init()
{
    config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
    QVERIFY(server.isListening() || server.listen(QHostAddress::LocalHost, port));
    queries.clear();
    response = {200, appcast("1.0"), {}, false};
    driver = RecordingDriver();
}

void tst_Updater::answer(QSslSocket* socket)
{
    const QByteArray head = socket->peek(socket->bytesAvailable());
    if (socket->property("answered").toBool() || !head.contains("\r\n\r\n"))
        return;
    socket->setProperty("answered", true);
    const QByteArray target = head.left(head.indexOf("\r\n")).split(' ').value(1);
    queries.append(QUrlQuery(QUrl(QString::fromLatin1(target)).query()));
    if (response.silent)
        return;
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n";
    if (!response.location.isEmpty())
        reply += "Location: " + response.location + "\r\n";
    socket->write(reply + "Content-Length: " + QByteArray::number(response.body.size()) +
                  "\r\nConnection: close\r\n\r\n" + response.body);
    socket->disconnectFromHost();
}

Updater::Settings tst_Updater::settings() const
{
    Updater::Settings settings;
    settings.feedURL = feedURL();
    settings.currentVersion = QStringLiteral("1.0");
    // Long enough for a TLS handshake in a sanitized build on a busy machine; only the silent
    // server waits it out.
    settings.timeout = 3s;
    settings.maxFeedBytes = 64 * 1024;
    settings.soonAfterStart = 1h; // checks run when a case asks for them
    settings.tls.addCaCertificate(certificate);
    return settings;
}

bool tst_Updater::check(Updater& updater, bool userAsked)
{
    QSignalSpy finished(&updater, &Updater::checkFinished);
    if (userAsked)
        updater.checkForUpdates();
    else
        updater.checkInBackground();
    return finished.wait(10000);
}

void tst_Updater::firstParameterUntilALoadSucceeds_data()
{
    QTest::addColumn<QVariant>("optIn");
    QTest::addColumn<bool>("counts");
    QTest::newRow("opted in") << QVariant(true) << true;
    QTest::newRow("opt-in absent") << QVariant() << false;
    QTest::newRow("opted out") << QVariant(false) << false;
    QTest::newRow("opt-in is a text") << QVariant(QStringLiteral("true")) << false;
}

void tst_Updater::firstParameterUntilALoadSucceeds()
{
    QFETCH(QVariant, optIn);
    QFETCH(bool, counts);
    FirstCheckDelegate delegate(information(optIn));
    const std::unique_ptr<Updater> updater = Updater::start(settings(), delegate, driver);

    response = {500, "down for maintenance", {}, false};
    QVERIFY(check(*updater, false));
    QVERIFY(!flagSent());
    server.close();
    QVERIFY(check(*updater, false));
    QVERIFY(!flagSent());
    QVERIFY(server.listen(QHostAddress::LocalHost, port));
    response = {200, appcast("1.0"), {}, false};
    QVERIFY(check(*updater, false));
    QCOMPARE(flagSent(), counts);
    QVERIFY(check(*updater, false));

    // The unreachable server saw nothing; every request it did see is here.
    QStringList sent;
    for (const QUrlQuery& query : std::as_const(queries))
        sent.append(query.toString());
    const QString first = counts ? "first=1" : "";
    QCOMPARE(sent, QStringList({first, first, ""}));
    if (!counts)
        QVERIFY(!TestFiles::readFile(SettingsStore::standard().path()).contains("firstCheck"));
    QCOMPARE(driver.shown, QStringList());
}

void tst_Updater::badFeedsEndQuietly_data()
{
    QTest::addColumn<Response>("bad");
    QTest::addColumn<QString>("explained");
    const QByteArray feed = appcast("2.0");
    const QByteArray insecure = feedURL().toString().replace("https:", "http:").toUtf8();
    QTest::newRow("malformed") << Response{200, feed.chopped(12), {}, false} << "could not be read";
    QTest::newRow("empty") << Response{200, {}, {}, false} << "could not be read";
    QTest::newRow("not a feed") << Response{200, "<html>Hi</html>", {}, false}
                                << "could not be read";
    QTest::newRow("huge") << Response{200, feed + QByteArray(1 << 20, ' '), {}, false}
                          << "unexpectedly large";
    QTest::newRow("slow") << Response{200, {}, {}, true} << "in time";
    QTest::newRow("redirect to http") << Response{302, {}, insecure, false} << "does not trust";
    QTest::newRow("not found") << Response{404, "Not Found", {}, false} << "error 404";
}

void tst_Updater::badFeedsEndQuietly()
{
    QFETCH(Response, bad);
    QFETCH(QString, explained);
    FirstCheckDelegate delegate(information(true));
    const std::unique_ptr<Updater> updater = Updater::start(settings(), delegate, driver);
    response = bad;

    QVERIFY(check(*updater, false));
    QCOMPARE(driver.shown, QStringList());
    QVERIFY(check(*updater, true));
    QCOMPARE(driver.shown.size(), 1);
    QVERIFY2(driver.shown[0].startsWith("error: ") && driver.shown[0].contains(explained),
             qPrintable(driver.shown[0]));
    QVERIFY(!flagSent());
}

void tst_Updater::offers_data()
{
    QTest::addColumn<QString>("published");
    QTest::addColumn<bool>("skippedEarlier");
    QTest::addColumn<bool>("userAsked");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("newer") << "1.1" << false << false << QStringList{"found 1.1"};
    QTest::newRow("same, scheduled") << "1.0" << false << false << QStringList{};
    QTest::newRow("same, asked") << "1.0" << false << true << QStringList{"up to date"};
    QTest::newRow("older, asked") << "0.9" << false << true << QStringList{"up to date"};
    QTest::newRow("skipped, scheduled") << "1.1" << true << false << QStringList{};
    QTest::newRow("skipped, asked") << "1.1" << true << true << QStringList{"found 1.1"};
}

void tst_Updater::offers()
{
    QFETCH(QString, published);
    QFETCH(bool, skippedEarlier);
    QFETCH(bool, userAsked);
    QFETCH(QStringList, shown);
    FirstCheckDelegate delegate(information(false));
    const std::unique_ptr<Updater> updater = Updater::start(settings(), delegate, driver);
    response = {200, appcast(published), {}, false};
    if (skippedEarlier) {
        driver.answer = UserDriver::Choice::SkipThisVersion;
        QVERIFY(check(*updater, false));
        driver.shown.clear();
    }

    QVERIFY(check(*updater, userAsked));
    QCOMPARE(driver.shown, shown);
}

void tst_Updater::startsOnlyWithAnHttpsFeed_data()
{
    QTest::addColumn<QUrl>("feed");
    QTest::addColumn<bool>("starts");
    QTest::newRow("no feed") << QUrl() << false;
    QTest::newRow("http") << QUrl("http://127.0.0.1:1/feed") << false;
    QTest::newRow("https") << feedURL() << true;
}

void tst_Updater::startsOnlyWithAnHttpsFeed()
{
    QFETCH(QUrl, feed);
    QFETCH(bool, starts);
    Updater::Settings chosen = settings();
    chosen.feedURL = feed;
    FirstCheckDelegate delegate(information(true));
    if (feed.scheme() == "http")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not checking for updates"));
    QTest::failOnWarning(QRegularExpression("."));
    QCOMPARE(bool(Updater::start(chosen, delegate, driver)), starts);
    // Without an updater nothing in the program asks for a feed.
    QCOMPARE(queries.size(), 0);
}

void tst_Updater::dueCheckRunsSoonAfterStart()
{
    const QDateTime now(QDate(2026, 3, 2), QTime(9, 0), Qt::UTC);
    SettingsStore::standard().set(SettingsKeys::lastUpdateCheck,
                                  now.addDays(-2).toString(Qt::ISODateWithMs));
    Updater::Settings chosen = settings();
    chosen.soonAfterStart = 0ms;
    chosen.clock = [now] { return now; };
    FirstCheckDelegate delegate(information(true));
    const std::unique_ptr<Updater> updater = Updater::start(chosen, delegate, driver);

    QSignalSpy finished(updater.get(), &Updater::checkFinished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(queries.size(), 1);
    QCOMPARE(SettingsStore::standard().value(SettingsKeys::lastUpdateCheck),
             now.toString(Qt::ISODateWithMs));
}

QTEST_GUILESS_MAIN(tst_Updater)
#include "tst_Updater.moc"
