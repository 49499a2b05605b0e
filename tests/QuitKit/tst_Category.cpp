#include "RunningApps.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace
{

const QString games = QStringLiteral("public.app-category.games");

QByteArray desktopEntry(const QByteArray& extraLines)
{
    return "[Desktop Entry]\nType=Application\nName=Sample\nExec=sample\n" + extraLines;
}

QByteArray plist(const QByteArray& dictBody)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n<dict>\n" +
           dictBody + "</dict>\n</plist>\n";
}

} // namespace

class TestCategory : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString write(const QString& relativePath, const QByteArray& content)
    {
        const QString path = dir.filePath(relativePath);
        if (!TestFiles::writeFile(path, content))
            qFatal("cannot write fixture %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void desktopEntries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<std::optional<QString>>("category");
        QTest::newRow("game, then sub-category")
            << desktopEntry("Categories=Game;ArcadeGame;\n") << std::optional(games);
        QTest::newRow("sub-category alone")
            << desktopEntry("Categories=LogicGame;\n")
            << std::optional(QStringLiteral("public.app-category.puzzle-games"));
        QTest::newRow("broad main category skipped")
            << desktopEntry("Categories=AudioVideo;Audio;Player;\n")
            << std::optional(QStringLiteral("public.app-category.music"));
        QTest::newRow("messenger")
            << desktopEntry("Categories=Network;InstantMessaging;Qt;\n")
            << std::optional(QStringLiteral("public.app-category.social-networking"));
        QTest::newRow("work app") << desktopEntry("Categories=GNOME;GTK;Utility;TextEditor;\n")
                                  << std::optional(QStringLiteral("public.app-category.utilities"));
        QTest::newRow("no trailing separator")
            << desktopEntry("Categories=Video\n")
            << std::optional(QStringLiteral("public.app-category.video"));
        QTest::newRow("only unmapped")
            << desktopEntry("Categories=Network;X-Custom;\n") << std::optional<QString>();
        QTest::newRow("no Categories") << desktopEntry({}) << std::optional<QString>();
        QTest::newRow("Categories in another group")
            << desktopEntry("[Desktop Action New]\nName=New\nCategories=Game;\n")
            << std::optional<QString>();
        QTest::newRow("case matters")
            << desktopEntry("Categories=game;\n") << std::optional<QString>();
        QTest::newRow("empty file") << QByteArray() << std::optional<QString>();
        static const char elf[] = "\x7f"
                                  "ELF\x02\x01\x01\0\0\0\xff\xfe[Desk\0";
        QTest::newRow("binary") << QByteArray(elf, sizeof elf) << std::optional<QString>();
        QTest::newRow("not a key file")
            << QByteArray("just some words\nCategories=Game;\n") << std::optional<QString>();
    }

    void desktopEntries()
    {
        QFETCH(QByteArray, content);
        QFETCH(std::optional<QString>, category);
        const QString path = write(QStringLiteral("applications/%1.desktop")
                                       .arg(QString::fromLatin1(QTest::currentDataTag())),
                                   content);
        QCOMPARE(RunningApps::category(path), category);
    }

    void bundles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<std::optional<QString>>("category");
        QTest::newRow("declared") << plist("<key>CFBundleName</key><string>Chess</string>\n"
                                           "<key>LSApplicationCategoryType</"
                                           "key><string>public.app-category.games</string>\n")
                                  << std::optional(games);
        QTest::newRow("text kept unchanged")
            << plist("<key>LSApplicationCategoryType</key><string>Something Else</string>\n")
            << std::optional(QStringLiteral("Something Else"));
        QTest::newRow("after nested values")
            << plist("<key>CFBundleDocumentTypes</key><array><dict><key>LSApplicationCategoryType"
                     "</key><string>nested</string></dict></array>\n"
                     "<key>LSApplicationCategoryType</key><string>public.app-category.games</"
                     "string>\n")
            << std::optional(games);
        QTest::newRow("only nested") << plist("<key>Extra</key><dict><key>LSApplicationCategoryType"
                                              "</key><string>nested</string></dict>\n")
                                     << std::optional<QString>();
        QTest::newRow("not text")
            << plist("<key>LSApplicationCategoryType</key><integer>3</integer>\n")
            << std::optional<QString>();
        QTest::newRow("array value")
            << plist("<key>LSApplicationCategoryType</key><array><string>x</string></array>\n")
            << std::optional<QString>();
        QTest::newRow("missing key")
            << plist("<key>CFBundleName</key><string>Chess</string>\n") << std::optional<QString>();
        QTest::newRow("key without value")
            << plist("<key>LSApplicationCategoryType</key>\n") << std::optional<QString>();
        QTest::newRow("malformed after the key")
            << QByteArray("<plist><dict><key>LSApplicationCategoryType</key>"
                          "<string>public.app-category.games</string><key>Oops</dict></plist>")
            << std::optional<QString>();
        QTest::newRow("truncated")
            << plist("<key>LSApplicationCategoryType</key><string>x</string>\n").left(120)
            << std::optional<QString>();
        QTest::newRow("top level not a dict")
            << QByteArray(
                   "<plist><array><string>LSApplicationCategoryType</string></array></plist>")
            << std::optional<QString>();
        QTest::newRow("binary property list")
            << QByteArray("bplist00\xd1\x01\x02", 11) << std::optional<QString>();
    }

    void bundles()
    {
        QFETCH(QByteArray, content);
        QFETCH(std::optional<QString>, category);
        const QString bundle = QStringLiteral("%1.app").arg(QTest::currentDataTag());
        write(bundle + QStringLiteral("/Contents/Info.plist"), content);
        QCOMPARE(RunningApps::category(dir.filePath(bundle)), category);
    }

    void unreadableLocations()
    {
        QCOMPARE(RunningApps::category(dir.filePath(QStringLiteral("missing.desktop"))),
                 std::nullopt);
        QCOMPARE(RunningApps::category(QString()), std::nullopt);
        // A bundle directory without its information file.
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Empty.app/Contents")));
        QCOMPARE(RunningApps::category(dir.filePath(QStringLiteral("Empty.app"))), std::nullopt);

        // Reading a pipe would never finish.
        const QString pipe = dir.filePath(QStringLiteral("pipe.desktop"));
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QCOMPARE(RunningApps::category(pipe), std::nullopt);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Piped.app/Contents")));
        const QString plistPipe = dir.filePath(QStringLiteral("Piped.app/Contents/Info.plist"));
        QCOMPARE(mkfifo(QFile::encodeName(plistPipe).constData(), 0600), 0);
        QCOMPARE(RunningApps::category(dir.filePath(QStringLiteral("Piped.app"))), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestCategory)
#include "tst_Category.moc"
