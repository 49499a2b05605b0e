#include "QuitPreset.h"

#include <QJsonArray>
#include <QSet>
#include <QTest>

class TestQuitPreset : public QObject
{
    Q_OBJECT

private slots:
    void cases_data()
    {
        QTest::addColumn<QuitPreset>("preset");
        QTest::addColumn<QString>("rawValue");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("explanation");
        QTest::newRow("everything")
            << QuitPreset(QuitPreset::everything) << QStringLiteral("everything")
            << QStringLiteral("Everything")
            << QStringLiteral("Quits every app in the taskbar except the ones you keep.");
        QTest::newRow("work") << QuitPreset(QuitPreset::work) << QStringLiteral("work")
                              << QStringLiteral("Distractions")
                              << QStringLiteral("Quits games, video, music, social apps and "
                                                "messengers. Work stays open.");
        QTest::newRow("call") << QuitPreset(QuitPreset::call) << QStringLiteral("call")
                              << QStringLiteral("Before a Call")
                              << QStringLiteral("Quits everything except your call app and apps "
                                                "using the camera or microphone.");
    }

    void cases()
    {
        QFETCH(QuitPreset, preset);
        QFETCH(QString, rawValue);
        QFETCH(QString, title);
        QFETCH(QString, explanation);
        QCOMPARE(preset.rawValue(), rawValue);
        QCOMPARE(preset.title(), title);
        QCOMPARE(preset.explanation(), explanation);
        QCOMPARE(QuitPreset::fromRawValue(rawValue), std::optional(preset));
        QCOMPARE(preset.encode(), QJsonValue(rawValue));
        const auto decoded = QuitPreset::decode(QJsonValue(rawValue));
        QVERIFY(std::holds_alternative<QuitPreset>(decoded));
        QCOMPARE(std::get<QuitPreset>(decoded), preset);
    }

    void creationIsExact_data()
    {
        QTest::addColumn<QString>("rawValue");
        QTest::newRow("capital W") << QStringLiteral("Work");
        QTest::newRow("empty") << QString();
        QTest::newRow("title instead of raw value") << QStringLiteral("Distractions");
        QTest::newRow("trailing space") << QStringLiteral("call ");
    }

    void creationIsExact()
    {
        QFETCH(QString, rawValue);
        QCOMPARE(QuitPreset::fromRawValue(rawValue), std::nullopt);
        QVERIFY(std::holds_alternative<QuitPreset::DataCorrupted>(
            QuitPreset::decode(QJsonValue(rawValue))));
    }

    void decodingOtherKindsFails_data()
    {
        QTest::addColumn<QJsonValue>("stored");
        QTest::newRow("number") << QJsonValue(1);
        QTest::newRow("null") << QJsonValue();
        QTest::newRow("array") << QJsonValue(QJsonArray{QStringLiteral("work")});
    }

    void decodingOtherKindsFails()
    {
        QFETCH(QJsonValue, stored);
        const auto decoded = QuitPreset::decode(stored);
        QVERIFY(std::holds_alternative<QuitPreset::DataCorrupted>(decoded));
        QVERIFY(!std::get<QuitPreset::DataCorrupted>(decoded).description.isEmpty());
    }

    void allCasesInPickerOrder()
    {
        const QList<QuitPreset> expected{QuitPreset::everything, QuitPreset::work,
                                         QuitPreset::call};
        QCOMPARE(QuitPreset::allCases(), expected);
    }

    void hashesAgreeWithEquality()
    {
        QCOMPARE(qHash(QuitPreset(QuitPreset::work)),
                 qHash(QuitPreset::fromRawValue("work").value()));
        const QSet<QuitPreset> all(QuitPreset::allCases().begin(), QuitPreset::allCases().end());
        QCOMPARE(all.size(), 3);
        QVERIFY(QuitPreset(QuitPreset::call) != QuitPreset::work);
    }

    void travelsInVariants()
    {
        const QVariant stored = QVariant::fromValue(QuitPreset(QuitPreset::call));
        QCOMPARE(stored.value<QuitPreset>(), QuitPreset::call);
    }
};

QTEST_GUILESS_MAIN(TestQuitPreset)
#include "tst_QuitPreset.moc"
