#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>

namespace
{

const QString sourceDir = QStringLiteral(NIMBREL_SOURCE_DIR);
const QString tableDir = sourceDir + QStringLiteral("/QuitKit/translations/");

// Adjacent C++ literals ("a" "b") make one key, as the compiler joins them.
const QString literals = QStringLiteral(R"re(((?:"(?:[^"\\]|\\.)*"\s*)+))re");
const QRegularExpression cppKey(QStringLiteral(R"re((?<![\w.])L\(\s*(?:QStringLiteral\(\s*)?)re") +
                                literals);
const QRegularExpression qmlKey(QStringLiteral(R"re(\bTexts\.(?:l|format)\(\s*)re") + literals);
const QRegularExpression literal(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
const QRegularExpression placeholder(QStringLiteral(R"re(%(?:(\d+)\$)?([d@]))re"));

QString unescaped(QString text)
{
    text.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    text.replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return text.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
}

// Folders whose texts reach users: everything but tests, benchmarks and build trees.
bool shipped(const QFileInfo& folder)
{
    static const QStringList notShipped{QStringLiteral("tests"), QStringLiteral("bench")};
    return !notShipped.contains(folder.fileName()) &&
           !QFile::exists(folder.filePath() + QStringLiteral("/CMakeCache.txt"));
}

// Every literal key the sources pass to L(), Texts.l() or Texts.format(), with a file using it.
QHash<QString, QString> usedKeys()
{
    QHash<QString, QString> keys;
    const QFileInfoList folders =
        QDir(sourceDir).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot); // hidden ones skipped
    for (const QFileInfo& folder : folders) {
        if (!shipped(folder))
            continue;
        QDirIterator files(
            folder.filePath(),
            {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.qml")}, QDir::Files,
            QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            const QRegularExpression& call = path.endsWith(QLatin1String(".qml")) ? qmlKey : cppKey;
            for (const QRegularExpressionMatch& match : call.globalMatch(text)) {
                QString key;
                for (const QRegularExpressionMatch& part : literal.globalMatch(match.captured(1)))
                    key += unescaped(part.captured(1));
                keys.insert(key, QDir(sourceDir).relativeFilePath(path));
            }
        }
    }
    return keys;
}

struct Message {
    QString source;
    QString translation;
    QString type; // "unfinished", "obsolete", "vanished"; empty when done
};

QList<Message> messages(const QString& table)
{
    QFile file(tableDir + table);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> found;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("message"))
            found.append(Message{});
        else if (xml.name() == QLatin1String("source") && !found.isEmpty())
            found.last().source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation") && !found.isEmpty()) {
            found.last().type = xml.attributes().value(QLatin1String("type")).toString();
            found.last().translation = xml.readElementText();
        }
    }
    return xml.hasError() ? QList<Message>{} : found;
}

// The values a format takes, by position and kind; "%d %@" and "%2$@ %1$d" take the same.
QStringList placeholders(const QString& format)
{
    QStringList taken;
    int next = 1;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(format)) {
        const int position = match.captured(1).isEmpty() ? next++ : match.captured(1).toInt();
        taken.append(QString::number(position) + match.captured(2));
    }
    std::sort(taken.begin(), taken.end());
    return taken;
}

} // namespace

// Keeps the translation tables in step with the texts the sources ask for.
class TestTranslationKeys : public QObject
{
    Q_OBJECT

    QHash<QString, QString> used;

private slots:
    void initTestCase()
    {
        used = usedKeys();
        QVERIFY(used.contains(QStringLiteral("Quits everything except your call app and apps "
                                             "using the camera or microphone."))); // split literal
        QVERIFY(used.contains(QStringLiteral("Step %d of %d"))); // Texts.format in QML
    }

    void germanTableHasEveryKey()
    {
        QSet<QString> translated;
        for (const Message& message : messages(QStringLiteral("nimbrel_de.ts")))
            translated.insert(message.source);
        QStringList missing;
        for (auto it = used.cbegin(); it != used.cend(); ++it) {
            if (!translated.contains(it.key()))
                missing.append(it.value() + QStringLiteral(": ") + it.key());
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

    void tablesHoldOnlyUsedKeys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("English") << QStringLiteral("nimbrel_en.ts");
        QTest::newRow("German") << QStringLiteral("nimbrel_de.ts");
    }

    void tablesHoldOnlyUsedKeys()
    {
        QFETCH(QString, table);
        const QList<Message> found = messages(table);
        QVERIFY(!found.isEmpty());
        QStringList stale;
        for (const Message& message : found) {
            if (!used.contains(message.source))
                stale.append(message.source);
        }
        QVERIFY2(stale.isEmpty(), qPrintable(stale.join(QLatin1Char('\n'))));
    }

    void translationsAreFinished_data() { tablesHoldOnlyUsedKeys_data(); }

    void translationsAreFinished()
    {
        QFETCH(QString, table);
        for (const Message& message : messages(table)) {
            QVERIFY2(message.type.isEmpty() && !message.translation.isEmpty(),
                     qPrintable(message.source));
            QVERIFY2(placeholders(message.translation) == placeholders(message.source),
                     qPrintable(message.translation));
        }
    }
};

QTEST_GUILESS_MAIN(TestTranslationKeys)
#include "tst_TranslationKeys.moc"
