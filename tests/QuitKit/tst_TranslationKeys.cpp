#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>

namespace
{

const QString table = QStringLiteral(NIMBREL_SOURCE_DIR "/QuitKit/translations/nimbrel_de.ts");

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete"; empty when done
};

QList<Message> messages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> found;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            found.append(Message{context, {}, {}, {}});
        else if (xml.name() == QLatin1String("source") && !found.isEmpty())
            found.last().source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation") && !found.isEmpty()) {
            found.last().type = xml.attributes().value(QLatin1String("type")).toString();
            found.last().translation = xml.readElementText();
        }
    }
    return xml.hasError() ? QList<Message>{} : found;
}

// The arguments a text takes: "%1 of %L2" and "%L2 von %1" take the same.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral(R"(%L?(\d+|n))"));
    QStringList taken;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text))
        taken.append(match.captured(1));
    std::sort(taken.begin(), taken.end());
    return taken;
}

QString named(const Message& message)
{
    return message.context + QStringLiteral(": ") + message.source;
}

} // namespace

// Keeps the German table in step with the texts in the code: lupdate, run over the sources the
// build lists into a copy of the table, finds nothing to add and nothing gone.
class TestTranslationKeys : public QObject
{
    Q_OBJECT

    QList<Message> updated;

private slots:
    void initTestCase()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString copy = folder.filePath(QStringLiteral("nimbrel_de.ts"));
        QVERIFY(QFile::copy(table, copy));
        QProcess lupdate;
        lupdate.start(QStringLiteral(NIMBREL_LUPDATE),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"),
                       QStringLiteral("none"), QStringLiteral("@" NIMBREL_TRANSLATED_SOURCES),
                       QStringLiteral("-ts"), copy});
        QVERIFY(lupdate.waitForFinished(60000));
        QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());
        updated = messages(copy);
        QVERIFY(!updated.isEmpty());
    }

    void everyTextIsTranslated()
    {
        QStringList untranslated;
        for (const Message& message : updated) {
            if (message.type == QLatin1String("unfinished") || message.translation.isEmpty())
                untranslated.append(named(message));
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    }

    void everyTranslationIsUsed()
    {
        QStringList stale;
        for (const Message& message : updated) {
            if (message.type == QLatin1String("vanished") ||
                message.type == QLatin1String("obsolete"))
                stale.append(named(message));
        }
        QVERIFY2(stale.isEmpty(), qPrintable(stale.join(QLatin1Char('\n'))));
    }

    void translationsTakeTheSameArguments()
    {
        for (const Message& message : messages(table))
            QVERIFY2(placeholders(message.translation) == placeholders(message.source),
                     qPrintable(message.translation));
    }
};

QTEST_GUILESS_MAIN(TestTranslationKeys)
#include "tst_TranslationKeys.moc"
