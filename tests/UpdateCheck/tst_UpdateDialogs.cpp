#include "Appcast.h"
#include "UpdateDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

// Stands in for the desktop's browser: records what it was asked to open.
class Browser : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void open(const QUrl& url) { opened.append(url); }
    QList<QUrl> opened;
};

QByteArray feedItem(const QByteArray& inside)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel><item>"
           "<sparkle:version>200</sparkle:version>" +
           inside + "</item></channel></rss>";
}

QMessageBox* shownBox()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            return box;
    }
    return nullptr;
}

QPushButton* button(QMessageBox* box, const QString& text)
{
    for (QAbstractButton* found : box->buttons()) {
        if (found->text() == text)
            return qobject_cast<QPushButton*>(found);
    }
    return nullptr;
}

} // namespace

// The update dialog shows what a feed says as text: a feed can neither draw markup, nor load a
// file or a web image, nor get a link other than an HTTPS one opened.
class tst_UpdateDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void feedTextStaysText_data();
    void feedTextStaysText();
    void errorsArePlainText();

private:
    QTemporaryDir folder;
    QString fifo;
    QTcpServer tracker;
    Browser browser;
};

void tst_UpdateDialogs::initTestCase()
{
    QVERIFY(folder.isValid());
    // Opening this for reading blocks until someone writes: a dialog that loads it hangs.
    fifo = folder.filePath("fifo");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(tracker.listen(QHostAddress::LocalHost));
    for (const char* scheme : {"https", "http", "file", "javascript"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &browser, "open");
}

void tst_UpdateDialogs::cleanupTestCase()
{
    for (const char* scheme : {"https", "http", "file", "javascript"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void tst_UpdateDialogs::cleanup()
{
    browser.opened.clear();
    while (QMessageBox* box = shownBox())
        box->close();
}

void tst_UpdateDialogs::feedTextStaysText_data()
{
    QTest::addColumn<QByteArray>("item");
    QTest::addColumn<QUrl>("download"); // what "Download" opens; empty when it is not offered
    QTest::addColumn<QString>("informative");
    const QString noLink = QStringLiteral("The update feed gives no secure (https) link to this "
                                          "version, so Nimbrel cannot open its download.");
    QTest::newRow("https enclosure and notes")
        << QByteArray("<sparkle:shortVersionString>2.0</sparkle:shortVersionString>"
                      "<sparkle:releaseNotesLink>https://example.org/notes?a=1&amp;b=2"
                      "</sparkle:releaseNotesLink>"
                      "<enclosure url=\"https://example.org/nimbrel-2.0.tar.gz\"/>")
        << QUrl("https://example.org/nimbrel-2.0.tar.gz")
        << "<a href=\"https://example.org/notes?a=1&amp;b=2\">Release Notes</a>";
    QTest::newRow("http enclosure")
        << QByteArray("<enclosure url=\"http://example.org/n.tgz\"/>") << QUrl() << noLink;
    QTest::newRow("file and script links")
        << QByteArray("<enclosure url=\"file:///etc/passwd\"/><link>javascript:alert(1)</link>"
                      "<sparkle:releaseNotesLink>file:///etc/passwd</sparkle:releaseNotesLink>")
        << QUrl() << noLink;
    QTest::newRow("http notes, https link")
        << QByteArray("<sparkle:releaseNotesLink>http://example.org/n</sparkle:releaseNotesLink>"
                      "<link>https://example.org/get</link>")
        << QUrl("https://example.org/get") << QString();
}

void tst_UpdateDialogs::feedTextStaysText()
{
    QFETCH(QByteArray, item);
    QFETCH(QUrl, download);
    QFETCH(QString, informative);
    // Markup in the version: a heading, an image of a FIFO, a web image and a local link.
    const QString markup =
        QStringLiteral("<h1>3.0</h1><img src=\"file://%1\"><img src=\"http://127.0.0.1:%2/t.png\">"
                       "<a href=\"file:///etc/passwd\">x</a>")
            .arg(fifo)
            .arg(tracker.serverPort());
    QByteArray withVersion = item;
    if (!item.contains("shortVersionString"))
        withVersion += "<sparkle:shortVersionString>" + markup.toHtmlEscaped().toUtf8() +
                       "</sparkle:shortVersionString>";
    const std::optional<Appcast> feed = Appcast::parse(feedItem(withVersion));
    QVERIFY(feed && feed->newest());

    UpdateDialogs dialogs;
    std::optional<UserDriver::Choice> chosen;
    dialogs.showUpdateFound(*feed->newest(), "1.0",
                            [&chosen](UserDriver::Choice choice) { chosen = choice; });
    QMessageBox* box = shownBox();
    QVERIFY(box);
    box->grab(); // lays out and draws every label, as the screen would
    const auto* text = box->findChild<QLabel*>("qt_msgbox_label");
    QVERIFY(text);
    QCOMPARE(text->textFormat(), Qt::PlainText);
    if (!item.contains("shortVersionString"))
        QVERIFY2(text->text().contains(QStringLiteral("<h1>3.0</h1><img")),
                 qPrintable(text->text()));
    const auto* below = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    QCOMPARE(below ? below->text() : QString(), informative);
    if (below)
        QCOMPARE(below->textFormat(), informative.startsWith("<a") ? Qt::RichText : Qt::PlainText);

    QPushButton* offered = button(box, "Download");
    QCOMPARE(offered != nullptr, download.isValid());
    if (offered)
        offered->click();
    else
        button(box, "Later")->click();
    QVERIFY(chosen);
    QCOMPARE(*chosen, offered ? UserDriver::Choice::Download : UserDriver::Choice::Later);
    QCOMPARE(browser.opened, download.isValid() ? QList<QUrl>{download} : QList<QUrl>{});
    QCoreApplication::processEvents();
    QVERIFY(!tracker.hasPendingConnections());
}

void tst_UpdateDialogs::errorsArePlainText()
{
    UpdateDialogs dialogs;
    const QString message =
        QStringLiteral("<b>Host</b> <img src=\"file://%1\"> not found").arg(fifo);
    dialogs.showUpdaterError(message);
    QMessageBox* box = shownBox();
    QVERIFY(box);
    box->grab();
    const auto* below = box->findChild<QLabel*>("qt_msgbox_informativelabel");
    QVERIFY(below);
    QCOMPARE(below->text(), message);
    QCOMPARE(below->textFormat(), Qt::PlainText);
}

QTEST_MAIN(tst_UpdateDialogs)
#include "tst_UpdateDialogs.moc"
