#include "DesktopSession.h"
#include "DesktopUser.h"
#include "PanelView.h"
#include "ProcProcessInfo.h"
#include "QuitModel.h"
#include "SettingsStore.h"
#include "ShownText.h"
#include "Views.h"
#include "X11Workspace.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTcpServer>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

namespace
{

// Apps, the panel and its frames show up within this (ms) on a loaded two-core machine.
constexpr int showTimeout = 30000;

// Notices whoever opens the FIFO for reading, and lets them go at once: a panel that loads an
// image from it would otherwise block its thread for good, and the test with it.
class FifoWatch
{
public:
    explicit FifoWatch(const QString& path) : fifo(QFile::encodeName(path))
    {
        watcher = std::thread([this] {
            while (!stopping) {
                // Opening to write without blocking succeeds only while someone reads.
                const int fd = open(fifo.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    opened = true;
                    close(fd);
                }
                usleep(10000);
            }
        });
    }
    ~FifoWatch()
    {
        stopping = true;
        watcher.join();
    }
    bool wasOpened() const { return opened; }

private:
    QByteArray fifo;
    std::atomic<bool> stopping = false;
    std::atomic<bool> opened = false;
    std::thread watcher;
};

// Every text the panel holds, with where it is drawn.
struct ShownLabel {
    QString text;
    int format;
    QRectF area;
};

QList<ShownLabel> labels(QQuickItem* item)
{
    QList<ShownLabel> found;
    if (item->inherits("QQuickText") && item->isVisible())
        found.append({item->property("text").toString(), item->property("textFormat").toInt(),
                      item->mapRectToScene(item->boundingRect())});
    for (QQuickItem* child : item->childItems())
        found += labels(child);
    return found;
}

} // namespace

// Names other programs choose, as their X windows and desktop entries give them, in a real
// panel: they are drawn as their own letters, load nothing, and keep to their rows.
class tst_HostileNames : public QObject
{
    Q_OBJECT

    DesktopSession session;
    QString fifo;
    QTcpServer tracker;
    std::unique_ptr<FifoWatch> fifoWatch;
    std::unique_ptr<X11Workspace> workspace;
    std::unique_ptr<ProcProcessInfo> processes;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<QuitModel> model;
    QQmlEngine engine;
    std::unique_ptr<QQuickView> panel;

    // The names as the windows and desktop entries give them, and as the panel must show them.
    QList<std::pair<QString, QString>> given;

    void addWindow(const QString& name)
    {
        QVERIFY(session.startApp("named.py", {{"NIMBREL_WINDOW_CLASS", name}})->waitForStarted());
    }

    void addEntry(int number, const QString& name)
    {
        const QString windowClass = QStringLiteral("hostile-entry-%1").arg(number);
        session.installDesktopEntry(windowClass + ".desktop",
                                    "[Desktop Entry]\nType=Application\nName=" + name +
                                        "\nExec=true\nIcon=" + fifo +
                                        "\nStartupWMClass=" + windowClass + "\n");
        addWindow(windowClass);
    }

private slots:
    void initTestCase()
    {
        NIMBREL_START_DESKTOP(session);
        fifo = session.scratchPath("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        fifoWatch = std::make_unique<FifoWatch>(fifo);
        QVERIFY(tracker.listen(QHostAddress::LocalHost));
        const QString fifoImage = QStringLiteral("<img src=\"file://%1\" width=900>").arg(fifo);
        const QString webImage = QStringLiteral("<img src=\"http://127.0.0.1:%1/t.png?u=me\">")
                                     .arg(tracker.serverPort());
        const QString tags = QStringLiteral("<h1><font color=red>Big</font></h1><b>x</b>"
                                            "<a href=\"file:///etc/passwd\">link</a>");
        const QString controls = QStringLiteral("Term\x1b]0;owned\x07\tTab\nLine\x7f");
        const QString longName(10000, QLatin1Char('L'));
        for (const QString& name : {tags, fifoImage, webImage, controls}) {
            addWindow(name);
            given.append({name, ShownText::oneLine(name)});
        }
        const QString reversed = QStringLiteral("Invoice \u202Etxt.exe");
        addEntry(1, reversed);
        given.append({reversed, QStringLiteral("Invoice txt.exe")});
        addEntry(2, fifoImage + "Entry");
        given.append({fifoImage + "Entry", fifoImage + "Entry"});
        // X11 reads a window's class only up to a bound, so a long name comes from an entry.
        addEntry(3, longName);
        given.append({longName, ShownText::oneLine(longName)});

        workspace = std::make_unique<X11Workspace>();
        QVERIFY(!workspace->problem());
        processes = std::make_unique<ProcProcessInfo>();
        store = std::make_unique<SettingsStore>(SettingsStore::standard());
        model = std::make_unique<QuitModel>(*workspace, *processes, *store);
        const auto listsAll = [this] {
            model->refresh();
            return model->apps().size() == given.size();
        };
        QVERIFY2(QTest::qWaitFor(listsAll, showTimeout),
                 qPrintable(QString::number(model->apps().size())));

        Views::prepare(engine);
        panel = std::make_unique<QQuickView>(&engine, nullptr);
        QVERIFY(PanelView::load(*panel, *model, nullptr));
        PanelView::fitToContent(*panel);
        int frames = 0;
        const QMetaObject::Connection counting =
            connect(panel.get(), &QQuickWindow::frameSwapped, this, [&frames] { ++frames; });
        panel->show();
        // A few frames: every row laid out, every image it might name asked for.
        QTRY_VERIFY_WITH_TIMEOUT(frames >= 3, showTimeout);
        disconnect(counting);
        panel->grabWindow();
    }

    void namesShownAsText_data()
    {
        QTest::addColumn<QString>("shown");
        const QStringList rows{"tags",
                               "image of a FIFO",
                               "web image",
                               "control characters",
                               "10,000 characters",
                               "right-to-left override (desktop entry)",
                               "image of a FIFO (desktop entry)"};
        for (qsizetype i = 0; i < given.size(); ++i)
            QTest::newRow(qPrintable(rows.value(i))) << given[i].second;
    }

    void namesShownAsText()
    {
        QFETCH(QString, shown);
        const QList<ShownLabel> all = labels(panel->contentItem());
        const auto row = std::find_if(all.cbegin(), all.cend(),
                                      [&](const ShownLabel& label) { return label.text == shown; });
        QStringList texts;
        for (const ShownLabel& label : all)
            texts.append(QStringLiteral("%1 (%2)").arg(label.text.left(40)).arg(label.text.size()));
        QVERIFY2(row != all.cend(),
                 qPrintable(shown.left(40) + " not among: " + texts.join(" | ")));
        QCOMPARE(row->format, int(Qt::PlainText));
        for (const QChar character : row->text)
            QVERIFY(character.category() != QChar::Other_Control && character != QChar(0x202E));
        // Long names end in an ellipsis inside the panel, never past its edge.
        QVERIFY2(
            row->area.left() >= 0 && row->area.right() <= panel->width() + 0.5,
            qPrintable(QStringLiteral("%1 to %2").arg(row->area.left()).arg(row->area.right())));
    }

    void nothingLoaded()
    {
        QVERIFY(!fifoWatch->wasOpened());
        QCoreApplication::processEvents();
        QVERIFY(!tracker.hasPendingConnections());
    }

    void cleanupTestCase()
    {
        panel.reset();
        model.reset();
        fifoWatch.reset();
    }
};

int main(int argc, char* argv[])
{
    DesktopUser::becomeUnprivileged();
    Views::configure();
    QGuiApplication application(argc, argv);
    tst_HostileNames test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_HostileNames.moc"
