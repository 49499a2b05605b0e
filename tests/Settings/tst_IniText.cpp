#include "IniText.h"
#include "TestFiles.h"

#include <QDateTime>
#include <QRect>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// QSettings is the measure: a text must read as it reads it, and what it wrote must reach it
// unchanged through our reading and writing.
class tst_IniText : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeQSettings_data();
    void readsLikeQSettings();
    void keepsWhatQSettingsWrote_data();
    void keepsWhatQSettingsWrote();

private:
    // A new file each time: QSettings reuses what it parsed of a file name.
    QString freshFile() { return dir.filePath(QString::number(++files) + QStringLiteral(".conf")); }

    QTemporaryDir dir;
    int files = 0;
};

void tst_IniText::readsLikeQSettings_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("plain") << QByteArray("[General]\nQuitPreset=work\nTutorialSeen=true\n");
    QTest::newRow("blanks around") << QByteArray("  a =  b c  \n\n\tc=\n");
    QTest::newRow("CRLF and comments")
        << QByteArray("; note\r\n[General]\r\na=1\r\n;b=2\r\nc=3 ; after\r\nd=\"x;y\"\n");
    QTest::newRow("lists and quotes")
        << QByteArray("k=a, \"b, c\" ,d\\\\e\nq=\" padded \"\none=\"\",\n");
    QTest::newRow("escapes") << QByteArray("k=\\ttab\\x41\\101\\0end\\q\\\"\nx=\\x\n");
    QTest::newRow("continued lines") << QByteArray("k=first \\\n  second\\\r\nthird\nnext=1\n");
    QTest::newRow("quoted line end") << QByteArray("k=\"a\nb\"\nnext=1\n");
    QTest::newRow("sections and escaped keys")
        << QByteArray("[General]\na=1\n[Sec%20tion]\nk%U00E9y=2\nsub\\key=3\nbad%zz=4\n"
                      "[%General]\nx=5\n[general]\ny=6\n");
    QTest::newRow("UTF-8") << QByteArray(
        "caf\xC3\xA9=\xE6\xBC\xA2\xE5\xAD\x97, \xF0\x9F\x98\x80\n");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unclosed section") << QByteArray("[General\nQuitPreset=call\n");
    QTest::newRow("line without '='") << QByteArray("[General]\nQuitPreset\n");
}

void tst_IniText::readsLikeQSettings()
{
    QFETCH(QByteArray, text);
    const QString path = freshFile();
    QVERIFY(TestFiles::writeFile(path, text));
    const QSettings reference(path, QSettings::IniFormat);
    const QStringList keys = reference.allKeys();

    const std::optional<IniText::Entries> entries = IniText::entries(text);
    QCOMPARE(!entries, reference.status() == QSettings::FormatError);
    if (!entries)
        return;
    QCOMPARE(entries->keys(), keys);
    for (const QString& key : keys) {
        const IniText::Value& value = entries->value(key);
        const QVariant read = std::holds_alternative<QString>(value)
                                  ? QVariant(std::get<QString>(value))
                                  : QVariant(std::get<QStringList>(value));
        QCOMPARE(read, reference.value(key));
    }
}

void tst_IniText::keepsWhatQSettingsWrote_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("text with specials")
        << "QuitPreset" << QVariant(QStringLiteral("@a, \"b\"; c=d \\ é \t\n\x01 end"));
    QTest::newRow("blanks at both ends") << "k" << QVariant(QStringLiteral("  both  "));
    QTest::newRow("NUL before a hex digit") << "k" << QVariant(QString::fromUtf8("a\0b\x7f", 4));
    QTest::newRow("beyond the BMP") << "k" << QVariant(QStringLiteral("😀 and 漢字"));
    QTest::newRow("list") << "QuitKeep" << QVariant(QStringList{"a", "b, c", "@d", "", " e "});
    QTest::newRow("list of one") << "QuitKeep" << QVariant(QStringList{"only"});
    QTest::newRow("empty list") << "QuitKeep" << QVariant(QStringList{});
    QTest::newRow("number") << "k" << QVariant(42);
    QTest::newRow("Boolean") << "TutorialSeen" << QVariant(true);
    QTest::newRow("bytes") << "k" << QVariant(QByteArray("\0\xff\x80 raw", 8));
    QTest::newRow("rectangle") << "k" << QVariant(QRect(1, 2, 3, 4));
    QTest::newRow("date and time")
        << "k" << QVariant(QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC));
    QTest::newRow("key in a section") << "Section/Key" << QVariant("v");
    QTest::newRow("odd key") << "Sp ace/Per%cent é/漢" << QVariant("v");
    QTest::newRow("section named General") << "General/x" << QVariant("v");
}

void tst_IniText::keepsWhatQSettingsWrote()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    const QString original = freshFile();
    {
        QSettings writer(original, QSettings::IniFormat);
        writer.setValue("Other", "kept");
        writer.setValue(key, value);
    }
    // Read from a copy: for the file it wrote, QSettings would answer from memory.
    const QByteArray written = TestFiles::readFile(original);
    const QString copy = freshFile();
    QVERIFY(TestFiles::writeFile(copy, written));
    const QSettings reference(copy, QSettings::IniFormat);

    const std::optional<IniText::Entries> entries = IniText::entries(written);
    QVERIFY(entries);
    const QString rewritten = freshFile();
    QVERIFY(TestFiles::writeFile(rewritten, IniText::text(*entries)));
    const QSettings reader(rewritten, QSettings::IniFormat);
    QCOMPARE(reader.status(), QSettings::NoError);
    QCOMPARE(reader.allKeys(), reference.allKeys());
    QCOMPARE(reader.value(key), reference.value(key));
    QCOMPARE(reader.value("Other"), "kept");
}

QTEST_GUILESS_MAIN(tst_IniText)
#include "tst_IniText.moc"
