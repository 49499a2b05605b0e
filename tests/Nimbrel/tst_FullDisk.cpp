#include "FakeProcessInfo.h"
#include "FakeWorkspace.h"
#include "LoginItem.h"
#include "LoginOnce.h"
#include "QuitModel.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestApps.h"
#include "TestFiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace
{

constexpr char ownMounts[] = "NIMBREL_TEST_OWN_MOUNTS";

// Fills the file system holding `folder` to the last block.
bool fill(const QString& folder)
{
    QFile filler(folder + "/filler");
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }
    return true;
}

} // namespace

// A full disk where the settings and the login item live, and a full TMPDIR: what was saved
// stays as it was, the failure is logged, and the kept apps stay kept. Each case mounts a small
// tmpfs of its own, which only this process sees: main() gives the test a mount namespace of
// its own.
class tst_FullDisk : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loginItemKeepsItsEntry();
    void firstStartLeavesNoEmptyLoginItem();
    void fullTmpDirKeepsKeptApps();

private:
    // Mounts a tmpfs of `size` over `folder`; false (and the case skipped) when it cannot.
    bool mountSmall(const QString& folder, const char* size = "size=64k");

    std::unique_ptr<QTemporaryDir> home;
    QList<QByteArray> mounted;
};

void tst_FullDisk::init()
{
    if (!qEnvironmentVariableIsSet(ownMounts))
        QSKIP("cannot have a mount namespace of its own here");
    home = std::make_unique<QTemporaryDir>("/tmp/nimbrel-full-disk-XXXXXX");
    QVERIFY(home->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home->filePath("config")));
    QVERIFY(QDir().mkpath(home->filePath("config")));
}

void tst_FullDisk::cleanup()
{
    for (const QByteArray& folder : std::as_const(mounted))
        umount(folder.constData());
    mounted.clear();
    home.reset();
}

bool tst_FullDisk::mountSmall(const QString& folder, const char* size)
{
    const QByteArray native = QFile::encodeName(folder);
    if (mount("tmpfs", native.constData(), "tmpfs", 0, size) != 0)
        return false;
    mounted.append(native);
    return true;
}

void tst_FullDisk::loginItemKeepsItsEntry()
{
    if (!mountSmall(home->filePath("config")))
        QSKIP("cannot mount a tmpfs here");
    const LoginItem item("dev.corvane.Nimbrel", "/usr/bin/nimbrel");
    QCOMPARE(item.registerItem(), std::nullopt);
    const QByteArray entry = TestFiles::readFile(item.path());
    QVERIFY(!entry.isEmpty());
    QVERIFY(fill(home->filePath("config")));

    // Written again over a full disk: the new copy needs a block there is no room for.
    const std::optional<QString> failure = item.registerItem();
    QVERIFY(failure);
    QVERIFY2(failure->contains("No space left on device"), qPrintable(*failure));
    QCOMPARE(TestFiles::readFile(item.path()), entry);
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
}

// The first start turns the login item on; on a full disk that fails, and must leave no empty
// entry behind that later starts would take for someone else's.
void tst_FullDisk::firstStartLeavesNoEmptyLoginItem()
{
    if (!mountSmall(home->filePath("config")))
        QSKIP("cannot mount a tmpfs here");
    QVERIFY(QDir().mkpath(home->filePath("config/autostart")));
    QVERIFY(fill(home->filePath("config")));
    SettingsStore settings = SettingsStore::standard();
    const LoginItem item("dev.corvane.Nimbrel", "/usr/bin/nimbrel");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Settings file .* cannot be "));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("Could not turn on opening at login: .*No space left"));
    turnOnLoginOnce(settings, "dev.corvane.Nimbrel", item);
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
    QVERIFY(!QFile::exists(item.path()));

    // With room again the next start sets it up, as its decision was never saved.
    QVERIFY(QFile::remove(home->filePath("config/filler")));
    SettingsStore nextStart = SettingsStore::standard();
    turnOnLoginOnce(nextStart, "dev.corvane.Nimbrel", item);
    QCOMPARE(item.status(), LoginItem::Status::Enabled);
}

void tst_FullDisk::fullTmpDirKeepsKeptApps()
{
    const QString tmp = home->filePath("tmp");
    QVERIFY(QDir().mkpath(tmp));
    SettingsStore before = SettingsStore::standard();
    // A byte order mark, as some editors write, must not make the file unreadable.
    QVERIFY(TestFiles::writeFile(before.path(), "\xEF\xBB\xBF[General]\nQuitKeep=com.kept\n"));
    if (!mountSmall(tmp))
        QSKIP("cannot mount a tmpfs here");
    QVERIFY(fill(tmp));
    qputenv("TMPDIR", QFile::encodeName(tmp));
    const auto restore = qScopeGuard([] { qputenv("TMPDIR", "/tmp"); });

    SettingsStore store = SettingsStore::standard();
    QCOMPARE(store.readProblem(), std::nullopt);
    FakeWorkspace workspace;
    FakeProcessInfo processes;
    QuitModel model(workspace, processes, store);
    const QList<AppEntry> apps{TestApps::entry(1, "Kept", "com.kept"),
                               TestApps::entry(2, "Other", "com.other")};
    model.setFixedApps(apps);
    model.refresh();
    QCOMPARE(model.plan().toQuit, QList<AppEntry>{apps[1]});
}

int main(int argc, char** argv)
{
    // Mounts made in a namespace of the test's own go away with it and touch nobody else. Set up
    // before any thread starts, as unshare() requires.
    if (unshare(CLONE_NEWNS) == 0 &&
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0)
        setenv(ownMounts, "1", 1);
    QGuiApplication app(argc, argv);
    tst_FullDisk test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_FullDisk.moc"
