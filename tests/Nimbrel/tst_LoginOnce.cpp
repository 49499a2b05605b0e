#include "LoginItem.h"
#include "LoginOnce.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_LoginOnce : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstRun_data();
    void firstRun();

private:
    std::unique_ptr<QTemporaryDir> config;
};

void tst_LoginOnce::init()
{
    config = std::make_unique<QTemporaryDir>();
    QVERIFY(config->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config->path()));
}

void tst_LoginOnce::firstRun_data()
{
    QTest::addColumn<QString>("programId");
    QTest::addColumn<bool>("decidedBefore");
    QTest::addColumn<QByteArray>("foreignEntry");
    QTest::addColumn<bool>("registers");
    QTest::addColumn<bool>("decidedAfter");
    QTest::newRow("first run") << "dev.corvane.Nimbrel" << false << QByteArray() << true << true;
    QTest::newRow("decided before")
        << "dev.corvane.Nimbrel" << true << QByteArray() << false << true;
    QTest::newRow("development build")
        << "dev.corvane.Nimbrel.dev" << false << QByteArray() << false << false;
    QTest::newRow("someone else's entry in the way")
        << "dev.corvane.Nimbrel" << false
        << QByteArray("[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\n") << false << true;
}

void tst_LoginOnce::firstRun()
{
    QFETCH(QString, programId);
    QFETCH(bool, decidedBefore);
    QFETCH(QByteArray, foreignEntry);
    QFETCH(bool, registers);
    QFETCH(bool, decidedAfter);
    const LoginItem item(programId, "/usr/bin/nimbrel");
    if (!foreignEntry.isEmpty()) {
        QVERIFY(TestFiles::writeFile(item.path(), foreignEntry));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not Nimbrel's login item"));
    }
    if (decidedBefore)
        SettingsStore::standard().set(SettingsKeys::loginItemDecided, true);

    SettingsStore settings = SettingsStore::standard();
    turnOnLoginOnce(settings, programId, item);
    QCOMPARE(item.isEnabled(), registers);
    QCOMPARE(SettingsStore::standard().value(SettingsKeys::loginItemDecided), decidedAfter);
    if (!foreignEntry.isEmpty())
        QCOMPARE(TestFiles::readFile(item.path()), foreignEntry);

    // The user turned it off (or cleared the way); the next start must not undo that.
    QFile::remove(item.path());
    SettingsStore nextStart = SettingsStore::standard();
    turnOnLoginOnce(nextStart, programId, item);
    QCOMPARE(item.status(), LoginItem::Status::NotRegistered);
}

QTEST_GUILESS_MAIN(tst_LoginOnce)
#include "tst_LoginOnce.moc"
