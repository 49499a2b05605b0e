#include "VersionComparison.h"

#include <QTest>

class tst_VersionComparison : public QObject
{
    Q_OBJECT

private slots:
    void compare_data();
    void compare();
};

void tst_VersionComparison::compare_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order");
    QTest::newRow("numbers, not text") << "1.10"
                                       << "1.9" << 1;
    QTest::newRow("trailing zero") << "2.0"
                                   << "2.0.0" << 0;
    QTest::newRow("leading zero") << "1.02"
                                  << "1.2" << 0;
    QTest::newRow("patch") << "2.0.1"
                           << "2.0" << 1;
    QTest::newRow("beta before release") << "2.0b1"
                                         << "2.0" << -1;
    QTest::newRow("rc before release") << "2.0-rc1"
                                       << "2.0" << -1;
    QTest::newRow("beta before rc") << "2.0 beta 3"
                                    << "2.0rc1" << -1;
    QTest::newRow("rc 10 after rc 2") << "2.0rc10"
                                      << "2.0rc2" << 1;
    QTest::newRow("pre-release of the next") << "2.1b1"
                                             << "2.0.9" << 1;
    QTest::newRow("patch after pre-release") << "2.0.1"
                                             << "2.0b1" << 1;
    QTest::newRow("case of text") << "2.0RC1"
                                  << "2.0rc1" << 0;
    QTest::newRow("longer than 64 bits") << "123456789012345678901234"
                                         << "99" << 1;
    QTest::newRow("build numbers") << "1042"
                                   << "987" << 1;
}

void tst_VersionComparison::compare()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QCOMPARE(VersionComparison::compare(a, b), order);
    QCOMPARE(VersionComparison::compare(b, a), -order);
}

QTEST_APPLESS_MAIN(tst_VersionComparison)
#include "tst_VersionComparison.moc"
