#include "FirstCheck.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"

#include <QTemporaryDir>
#include <QTest>

class tst_FirstCheck : public QObject
{
    Q_OBJECT

private slots:
    void enabledIsReadOnEveryUse();
    void markSentKeepsTrue();
};

void tst_FirstCheck::enabledIsReadOnEveryUse()
{
    QVariant optIn = true;
    const auto information = [&optIn](const QString& key) {
        return key == "CorvaneCountsFirstCheck" ? optIn : QVariant();
    };
    QVERIFY(FirstCheck::enabled(information));
    optIn = false;
    QVERIFY(!FirstCheck::enabled(information));
}

void tst_FirstCheck::markSentKeepsTrue()
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    SettingsStore defaults = SettingsStore::standard();
    defaults.set(SettingsKeys::firstCheckSent, true);
    FirstCheck::markSent(defaults);
    QCOMPARE(SettingsStore::standard().value(SettingsKeys::firstCheckSent), true);
    QCOMPARE(FirstCheck::parameters(SettingsStore::standard(), true), {});
}

QTEST_GUILESS_MAIN(tst_FirstCheck)
#include "tst_FirstCheck.moc"
