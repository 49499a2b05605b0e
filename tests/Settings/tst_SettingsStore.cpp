#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr SettingsKey<QString> textKey{"Text"};
constexpr SettingsKey<QStringList> listKey{"List"};
constexpr SettingsKey<bool> flagKey{"Flag"};

// The key for a value of `like`'s type.
QString keyFor(const QVariant& like)
{
    switch (like.typeId()) {
    case QMetaType::QString:
        return textKey.text();
    case QMetaType::QStringList:
        return listKey.text();
    default:
        return flagKey.text();
    }
}

// The store's value under the key for `like`'s type.
QVariant valueFor(const SettingsStore& store, const QVariant& like)
{
    switch (like.typeId()) {
    case QMetaType::QString: {
        const std::optional<QString> text = store.value(textKey);
        return text ? QVariant(*text) : QVariant();
    }
    case QMetaType::QStringList:
        return store.value(listKey);
    default:
        return store.value(flagKey);
    }
}

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void roundTrip_data();
    void roundTrip();
    void readsWhatQSettingsWrote_data() { roundTrip_data(); }
    void readsWhatQSettingsWrote();
    void keysReadWhatEarlierVersionsWrote();
    void absentValues();
    void configDirectory_data();
    void configDirectory();
    void suitesKeptApart();
    void suiteNames_data();
    void suiteNames();
    void storesOverOneFileKeepEachOthersKeys();
    void writeReplacesTheFileWhole();
    void damagedFileSetAsideOnlyOnWrite_data();
    void damagedFileSetAsideOnlyOnWrite();
    void byteOrderMarkIsFine();
    void unopenableFileLeftAlone_data();
    void unopenableFileLeftAlone();
    void fileDamagedAfterOpeningKeptAside();
    void unwritableDirectoryKeepsMemory();
    void fullDiskKeepsTheOldFile();

private:
    // Runs the current case again as the user nobody, for what root's rights would hide.
    void rerunAsNobody();
    // Runs the current case again in a child started through `launcher` (a program and its
    // arguments) with `environment` added; skips when it cannot run there.
    void rerun(const QStringList& launcher, const QProcessEnvironment& environment = {});
    QString storeDir() const { return config->path() + QStringLiteral("/nimbrel"); }

    std::unique_ptr<QTemporaryDir> config;
};

void tst_SettingsStore::init()
{
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
}

void tst_SettingsStore::roundTrip_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("text") << QVariant(QStringLiteral("call"));
    QTest::newRow("empty text") << QVariant(QString(""));
    QTest::newRow("text with comma, quotes and @")
        << QVariant(QStringLiteral("@a, \"b\"; c=d \\ é"));
    QTest::newRow("list") << QVariant(QStringList{"com.b", "com.c", "My App, Pro"});
    QTest::newRow("list of one") << QVariant(QStringList{"com.b"});
    QTest::newRow("empty list") << QVariant(QStringList{});
    QTest::newRow("true") << QVariant(true);
    QTest::newRow("false") << QVariant(false);
}

void tst_SettingsStore::roundTrip()
{
    QFETCH(QVariant, value);
    auto store = SettingsStore::suite("round");
    QVERIFY(store);
    QCOMPARE(store->path(), storeDir() + "/round.conf");
    if (value.typeId() == QMetaType::QString)
        store->set(textKey, value.toString());
    else if (value.typeId() == QMetaType::QStringList)
        store->set(listKey, value.toStringList());
    else
        store->set(flagKey, value.toBool());
    QCOMPARE(valueFor(*store, value), value);
    QVERIFY(QFile::exists(store->path()));

    QCOMPARE(valueFor(*SettingsStore::suite("round"), value), value);
    // Still a plain QSettings file.
    QVariant read = QSettings(store->path(), QSettings::IniFormat).value(keyFor(value));
    read.convert(value.metaType());
    QCOMPARE(read, value);
}

void tst_SettingsStore::readsWhatQSettingsWrote()
{
    QFETCH(QVariant, value);
    QSettings(storeDir() + "/round.conf", QSettings::IniFormat).setValue(keyFor(value), value);
    QCOMPARE(valueFor(*SettingsStore::suite("round"), value), value);
}

void tst_SettingsStore::keysReadWhatEarlierVersionsWrote()
{
    QVERIFY(TestFiles::writeFile(storeDir() + "/dev.corvane.Nimbrel.conf",
                                 "[General]\n"
                                 "LastUpdateCheck=2024-05-01T10:00:00.000Z\n"
                                 "LoginItemDecided=true\n"
                                 "QuitKeep=org.gnome.Nautilus, firefox-esr\n"
                                 "QuitPreset=work\n"
                                 "SkippedVersion=1.2\n"
                                 "TutorialSeen=true\n"
                                 "corvane.firstCheckSent=true\n"));
    const SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.value(SettingsKeys::quitPreset), "work");
    QCOMPARE(store.value(SettingsKeys::quitKeep),
             QStringList({"org.gnome.Nautilus", "firefox-esr"}));
    QVERIFY(store.value(SettingsKeys::tutorialSeen));
    QVERIFY(store.value(SettingsKeys::loginItemDecided));
    QCOMPARE(store.value(SettingsKeys::lastUpdateCheck), "2024-05-01T10:00:00.000Z");
    QCOMPARE(store.value(SettingsKeys::skippedVersion), "1.2");
    QVERIFY(store.value(SettingsKeys::firstCheckSent));
}

void tst_SettingsStore::absentValues()
{
    const SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.value(textKey), std::nullopt);
    QCOMPARE(store.value(listKey), QStringList());
    QCOMPARE(store.value(flagKey), false);
    QVERIFY(!QFile::exists(store.path()));
}

void tst_SettingsStore::configDirectory_data()
{
    QTest::addColumn<QByteArray>("xdgConfigHome");
    QTest::addColumn<bool>("used");
    QTest::newRow("absolute") << QByteArray("/elsewhere/config") << true;
    QTest::newRow("relative") << QByteArray("relative/config") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void tst_SettingsStore::configDirectory()
{
    QFETCH(QByteArray, xdgConfigHome);
    QFETCH(bool, used);
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(config->path()));
    qputenv("XDG_CONFIG_HOME", xdgConfigHome);
    const QString expected = used ? QString::fromUtf8(xdgConfigHome) + "/nimbrel/s.conf"
                                  : config->path() + "/.config/nimbrel/s.conf";
    const QString path = SettingsStore::suite("s")->path();
    qputenv("HOME", home);
    QCOMPARE(path, expected);
}

void tst_SettingsStore::suitesKeptApart()
{
    SettingsStore standard = SettingsStore::standard();
    auto first = SettingsStore::suite("dev.corvane.Nimbrel.tutorial");
    auto second = SettingsStore::suite("other");
    standard.set(SettingsKeys::quitPreset, "work");
    first->set(SettingsKeys::quitPreset, "call");
    second->set(SettingsKeys::tutorialSeen, true);

    QCOMPARE(SettingsStore::standard().value(SettingsKeys::quitPreset), "work");
    QCOMPARE(SettingsStore::suite("dev.corvane.Nimbrel.tutorial")->value(SettingsKeys::quitPreset),
             "call");
    QCOMPARE(SettingsStore::suite("other")->value(SettingsKeys::quitPreset), std::nullopt);
    QCOMPARE(SettingsStore::standard().value(SettingsKeys::tutorialSeen), false);
    QCOMPARE(QDir(storeDir()).entryList(QDir::Files, QDir::Name),
             QStringList(
                 {"dev.corvane.Nimbrel.conf", "dev.corvane.Nimbrel.tutorial.conf", "other.conf"}));
}

void tst_SettingsStore::suiteNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("only a slash") << "/" << false;
    QTest::newRow("upwards") << "../escape" << false;
    QTest::newRow("program's own") << SettingsStore::standardName() << false;
    QTest::newRow("demonstration suite") << "dev.corvane.Nimbrel.check" << true;
    QTest::newRow("own name, other case") << SettingsStore::standardName().toLower() << true;
}

void tst_SettingsStore::suiteNames()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    auto store = SettingsStore::suite(name);
    QCOMPARE(store.has_value(), opens);
    if (store) {
        store->set(flagKey, true);
        QVERIFY(QFile::exists(storeDir() + '/' + name + ".conf"));
    }
}

void tst_SettingsStore::storesOverOneFileKeepEachOthersKeys()
{
    SettingsStore shell = SettingsStore::standard();
    SettingsStore updater = SettingsStore::standard();
    shell.set(SettingsKeys::tutorialSeen, true);
    updater.set(SettingsKeys::firstCheckSent, true);
    shell.set(SettingsKeys::quitKeep, {"com.b"});

    const SettingsStore reread = SettingsStore::standard();
    QCOMPARE(reread.value(SettingsKeys::tutorialSeen), true);
    QCOMPARE(reread.value(SettingsKeys::firstCheckSent), true);
    QCOMPARE(reread.value(SettingsKeys::quitKeep), QStringList{"com.b"});
}

void tst_SettingsStore::writeReplacesTheFileWhole()
{
    SettingsStore store = SettingsStore::standard();
    store.set(SettingsKeys::quitPreset, "work");
    struct stat before = {};
    QCOMPARE(stat(QFile::encodeName(store.path()).constData(), &before), 0);
    store.set(SettingsKeys::quitPreset, "call");
    struct stat after = {};
    QCOMPARE(stat(QFile::encodeName(store.path()).constData(), &after), 0);
    // A new inode: the file was written beside and renamed over, never truncated in place.
    QVERIFY(before.st_ino != after.st_ino);
    QCOMPARE(QDir(storeDir()).entryList(QDir::Files),
             QStringList{QFileInfo(store.path()).fileName()});
}

void tst_SettingsStore::damagedFileSetAsideOnlyOnWrite_data()
{
    QTest::addColumn<QByteArray>("damaged");
    QTest::addColumn<bool>("earlierCopy");
    QTest::newRow("unclosed section") << QByteArray("[General\nQuitPreset=call\n") << false;
    QTest::newRow("line without a value") << QByteArray("[General]\nQuitPreset\n") << false;
    QTest::newRow("binary") << QByteArray("\x7f"
                                          "ELF\x02\x01\x01\0\0\n\x01",
                                          12)
                            << false;
    QTest::newRow("over 1 MB") << "[General]\nQuitPreset=call\nPad=" + QByteArray(1 << 20, 'x')
                               << false;
    QTest::newRow("second damage") << QByteArray("[General\n") << true;
}

void tst_SettingsStore::damagedFileSetAsideOnlyOnWrite()
{
    QFETCH(QByteArray, damaged);
    QFETCH(bool, earlierCopy);
    const QString path = storeDir() + "/dev.corvane.Nimbrel.conf";
    QVERIFY(TestFiles::writeFile(path, damaged));
    if (earlierCopy)
        QVERIFY(TestFiles::writeFile(path + ".corrupt", "earlier"));
    const QString aside = path + (earlierCopy ? ".corrupt.1" : ".corrupt");
    const QStringList before = QDir(storeDir()).entryList(QDir::Files, QDir::Name);

    QTest::failOnWarning(QRegularExpression("Settings file"));
    SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.readProblem(), SettingsStore::ReadProblem::corrupt);
    QCOMPARE(store.value(SettingsKeys::quitPreset), std::nullopt);
    QCOMPARE(QDir(storeDir()).entryList(QDir::Files, QDir::Name), before);
    QCOMPARE(TestFiles::readFile(path), damaged);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; kept it as"));
    store.set(SettingsKeys::quitPreset, "work");
    store.set(SettingsKeys::tutorialSeen, true); // told once, not on every write
    QCOMPARE(store.readProblem(), std::nullopt);
    QCOMPARE(SettingsStore::standard().value(SettingsKeys::quitPreset), "work");
    QCOMPARE(TestFiles::readFile(aside), damaged);
    if (earlierCopy)
        QCOMPARE(TestFiles::readFile(path + ".corrupt"), "earlier");
}

void tst_SettingsStore::byteOrderMarkIsFine()
{
    const QString path = storeDir() + "/dev.corvane.Nimbrel.conf";
    QVERIFY(TestFiles::writeFile(path, "\xEF\xBB\xBF[General]\nQuitPreset=call\n"));
    QTest::failOnWarning(QRegularExpression("Settings file"));
    SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.readProblem(), std::nullopt);
    QCOMPARE(store.value(SettingsKeys::quitPreset), "call");

    store.set(SettingsKeys::tutorialSeen, true);
    const SettingsStore reread = SettingsStore::standard();
    QCOMPARE(reread.value(SettingsKeys::quitPreset), "call");
    QCOMPARE(reread.value(SettingsKeys::tutorialSeen), true);
    QCOMPARE(QDir(storeDir()).entryList(QDir::Files), QStringList{"dev.corvane.Nimbrel.conf"});
}

void tst_SettingsStore::unopenableFileLeftAlone_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("mode 000") << false;
    QTest::newRow("named pipe") << true;
}

void tst_SettingsStore::unopenableFileLeftAlone()
{
    QFETCH(bool, fifo);
    if (!fifo && geteuid() == 0) {
        rerunAsNobody(); // root reads any file
        return;
    }
    const QString path = storeDir() + "/dev.corvane.Nimbrel.conf";
    const QByteArray contents("[General]\nQuitPreset=call\n");
    if (fifo) {
        QVERIFY(QDir().mkpath(storeDir()));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        QVERIFY(TestFiles::writeFile(path, contents));
        QVERIFY(QFile::setPermissions(path, {}));
    }

    SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.readProblem(), SettingsStore::ReadProblem::unreadable);
    QCOMPARE(store.value(SettingsKeys::quitPreset), std::nullopt);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("cannot be read, so it is left as it is"));
    store.set(SettingsKeys::quitPreset, "work");
    QCOMPARE(store.value(SettingsKeys::quitPreset), "work");

    QCOMPARE(QDir(storeDir()).entryList(QDir::Files | QDir::System),
             QStringList{"dev.corvane.Nimbrel.conf"});
    QCOMPARE(QFileInfo(path).isFile(), !fifo);
    if (!fifo) {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(TestFiles::readFile(path), contents);
    }
}

void tst_SettingsStore::fileDamagedAfterOpeningKeptAside()
{
    SettingsStore store = SettingsStore::standard();
    store.set(SettingsKeys::quitPreset, "work");
    QVERIFY(TestFiles::writeFile(store.path(), "[General]\nhand-edited beyond repair\n"));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("could not be read; kept it as"));
    store.set(SettingsKeys::quitKeep, {"com.c"});
    QCOMPARE(TestFiles::readFile(store.path() + ".corrupt"),
             "[General]\nhand-edited beyond repair\n");
    const SettingsStore reread = SettingsStore::standard();
    QCOMPARE(reread.value(SettingsKeys::quitKeep), QStringList{"com.c"});
    QCOMPARE(reread.value(SettingsKeys::quitPreset), "work");
}

void tst_SettingsStore::unwritableDirectoryKeepsMemory()
{
    if (geteuid() == 0) {
        rerunAsNobody(); // root writes anywhere
        return;
    }

    const QString path = storeDir() + "/dev.corvane.Nimbrel.conf";
    QVERIFY(TestFiles::writeFile(path, "[General]\nQuitPreset=call\n"));
    QVERIFY(QFile::setPermissions(storeDir(), QFile::ReadOwner | QFile::ExeOwner));
    SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.value(SettingsKeys::quitPreset), "call");

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot be written"));
    QTest::failOnWarning(QRegularExpression("Settings file"));
    store.set(SettingsKeys::quitPreset, "work");
    store.set(SettingsKeys::quitKeep, {"com.b", "com.c"});
    QCOMPARE(store.value(SettingsKeys::quitPreset), "work");
    QCOMPARE(store.value(SettingsKeys::quitKeep), QStringList({"com.b", "com.c"}));
    QCOMPARE(TestFiles::readFile(path), "[General]\nQuitPreset=call\n");

    // Once the directory is writable again the next write saves everything kept so far.
    QVERIFY(
        QFile::setPermissions(storeDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    store.set(SettingsKeys::tutorialSeen, true);
    const SettingsStore reread = SettingsStore::standard();
    QCOMPARE(reread.value(SettingsKeys::quitPreset), "work");
    QCOMPARE(reread.value(SettingsKeys::quitKeep), QStringList({"com.b", "com.c"}));
    QCOMPARE(reread.value(SettingsKeys::tutorialSeen), true);
}

void tst_SettingsStore::fullDiskKeepsTheOldFile()
{
    if (!qEnvironmentVariableIsSet("NIMBREL_TEST_OWN_MOUNTS")) {
        // A tmpfs of its own to fill, mounted where only the child's processes see it.
        QProcessEnvironment environment;
        environment.insert("NIMBREL_TEST_OWN_MOUNTS", "1");
        rerun({"unshare", "--mount", "--propagation", "private"}, environment);
        return;
    }
    const QByteArray folder = QFile::encodeName(config->path());
    if (mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP("cannot mount a tmpfs here");
    const auto unmount = qScopeGuard([&] { umount(folder.constData()); });
    SettingsStore store = SettingsStore::standard();
    store.set(SettingsKeys::quitPreset, "work");
    const QByteArray saved = TestFiles::readFile(store.path());
    QFile filler(config->filePath("filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("cannot be written .*No space left on device"));
    store.set(SettingsKeys::quitPreset, "call");
    QCOMPARE(TestFiles::readFile(store.path()), saved);
    QCOMPARE(store.value(SettingsKeys::quitPreset), "call");
    QVERIFY(store.writeProblem() && store.writeProblem()->contains("No space left on device"));

    // With room again the next write saves what was kept in memory.
    QVERIFY(filler.remove());
    store.set(SettingsKeys::tutorialSeen, true);
    QCOMPARE(store.writeProblem(), std::nullopt);
    const SettingsStore reread = SettingsStore::standard();
    QCOMPARE(reread.value(SettingsKeys::quitPreset), "call");
    QVERIFY(reread.value(SettingsKeys::tutorialSeen));
}

void tst_SettingsStore::rerunAsNobody()
{
    if (!getpwnam("nobody"))
        QSKIP("no 'nobody' user to run the case as");
    rerun({"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
}

void tst_SettingsStore::rerun(const QStringList& launcher, const QProcessEnvironment& environment)
{
    QString testCase = QString::fromLatin1(QTest::currentTestFunction());
    if (const char* tag = QTest::currentDataTag())
        testCase += ':' + QString::fromLatin1(tag);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", "/tmp");
    env.insert(environment);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(launcher.first(), launcher.mid(1)
                                      << QCoreApplication::applicationFilePath() << testCase);
    if (!child.waitForStarted())
        QSKIP(qPrintable(launcher.first() + " is missing, so the case cannot run"));
    QVERIFY(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (!output.contains("Totals:") || output.contains("SKIP   :"))
        QSKIP(qPrintable("the case cannot run under " + launcher.join(' ') + " here: " + output));
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
             qPrintable(output));
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
