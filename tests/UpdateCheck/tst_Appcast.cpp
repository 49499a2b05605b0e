#include "Appcast.h"

#include <QTest>

namespace
{

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
           "<title>Nimbrel</title>" +
           items + "</channel></rss>";
}

QByteArray item(const QString& version)
{
    return "<item><sparkle:version>" + version.toUtf8() + "</sparkle:version></item>";
}

} // namespace

class tst_Appcast : public QObject
{
    Q_OBJECT

private slots:
    void newestWinsWhateverTheOrder_data();
    void newestWinsWhateverTheOrder();
};

void tst_Appcast::newestWinsWhateverTheOrder_data()
{
    QTest::addColumn<QStringList>("versions");
    QTest::addColumn<QString>("newest");
    QTest::newRow("newest first") << QStringList{"1.10", "1.9", "1.2"} << "1.10";
    QTest::newRow("newest last") << QStringList{"1.2", "1.9", "1.10"} << "1.10";
    QTest::newRow("newest between") << QStringList{"1.9", "1.10", "1.2"} << "1.10";
    QTest::newRow("release after its beta") << QStringList{"2.0", "2.0b2", "1.9"} << "2.0";
    QTest::newRow("no items") << QStringList{} << "";
}

void tst_Appcast::newestWinsWhateverTheOrder()
{
    QFETCH(QStringList, versions);
    QFETCH(QString, newest);
    QByteArray items;
    for (const QString& version : std::as_const(versions))
        items += item(version);
    const std::optional<Appcast> appcast = Appcast::parse(feed(items));
    QVERIFY(appcast);
    const std::optional<Appcast::Item> found = appcast->newest();
    QCOMPARE(found ? found->version : QString(), newest);
}

QTEST_APPLESS_MAIN(tst_Appcast)
#include "tst_Appcast.moc"
