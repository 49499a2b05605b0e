#include "LoginItem.h"
#include "LoginSwitch.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const QString programId = QStringLiteral("dev.corvane.Nimbrel");

LoginItem loginItem()
{
    return LoginItem(programId, "/usr/bin/nimbrel");
}

// Turns the switch on over an autostart folder it cannot write: it must read off again, say so,
// and leave no entry. False too when the folder cannot be reached, which would prove nothing.
bool snapsBackToOff()
{
    if (loginItem().status() != LoginItem::Status::NotRegistered)
        return false;
    LoginSwitch loginSwitch(loginItem());
    QSignalSpy changed(&loginSwitch, &LoginSwitch::onChanged);
    loginSwitch.setOn(true);
    return changed.count() == 1 && !loginSwitch.isOn() &&
           loginItem().status() == LoginItem::Status::NotRegistered;
}

} // namespace

class tst_LoginSwitch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void flip_data();
    void flip();
    void readOnlyFolderSnapsBack();

private:
    std::unique_ptr<QTemporaryDir> config;
};

void tst_LoginSwitch::init()
{
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
}

void tst_LoginSwitch::flip_data()
{
    QTest::addColumn<QByteArray>("foreignEntry");
    QTest::addColumn<bool>("registeredBefore");
    QTest::addColumn<bool>("wanted");
    QTest::addColumn<bool>("on");
    QTest::newRow("on") << QByteArray() << false << true << true;
    QTest::newRow("off") << QByteArray() << true << false << false;
    QTest::newRow("someone else's entry in the way")
        << QByteArray("[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\n") << false << true
        << false;
}

void tst_LoginSwitch::flip()
{
    QFETCH(QByteArray, foreignEntry);
    QFETCH(bool, registeredBefore);
    QFETCH(bool, wanted);
    QFETCH(bool, on);
    if (!foreignEntry.isEmpty()) {
        QVERIFY(TestFiles::writeFile(loginItem().path(), foreignEntry));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not Nimbrel's login item"));
    }
    if (registeredBefore)
        QCOMPARE(loginItem().registerItem(), std::nullopt);

    LoginSwitch loginSwitch(loginItem());
    QCOMPARE(loginSwitch.isOn(), registeredBefore);
    QSignalSpy changed(&loginSwitch, &LoginSwitch::onChanged);
    loginSwitch.setOn(wanted);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(loginSwitch.isOn(), on);
    QCOMPARE(loginItem().isEnabled(), on);
    // The settings window shows why a flip did not take.
    QCOMPARE(loginSwitch.problem().isEmpty(), on == wanted);
    if (!foreignEntry.isEmpty())
        QVERIFY(loginSwitch.problem().contains("not Nimbrel's login item"));
}

void tst_LoginSwitch::readOnlyFolderSnapsBack()
{
    const QString folder = config->path() + "/autostart";
    QVERIFY(QDir().mkpath(folder));
    const auto readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                          QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(folder, readOnly));
    if (geteuid() != 0) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("Could not turn opening at login on"));
        QVERIFY(snapsBackToOff());
        return;
    }

    // Root writes anywhere, so a child switches to "nobody" and reports through its exit status.
    QVERIFY(QFile::setPermissions(config->path(), readOnly | QFile::WriteOwner));
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        const gid_t nobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0)
            _exit(2);
        _exit(snapsBackToOff() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

QTEST_GUILESS_MAIN(tst_LoginSwitch)
#include "tst_LoginSwitch.moc"
