#include "ContrastRatio.h"
#include "SymbolIcon.h"
#include "SymbolImageProvider.h"
#include "Theme.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{

// A session bus that starts no services, so a portal installed on the machine stays out.
const QByteArray busConfig = R"(<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

// The Settings part of the desktop portal, holding one color-scheme. A test interface sets it;
// its ChangeSent signal follows each change signal, so a client that has it has the change too.
const char fakePortal[] = R"py(
import sys
from gi.repository import Gio, GLib

XML = """<node>
<interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s"/><arg type="s"/><arg type="v" direction="out"/></method>
  <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
</interface>
<interface name="dev.corvane.NimbrelTest.Portal">
  <method name="SetColorScheme"><arg type="u"/></method>
  <signal name="ChangeSent"/>
</interface>
</node>"""
PATH = "/org/freedesktop/portal/desktop"
scheme = int(sys.argv[1])

def called(bus, sender, path, interface, method, arguments, invocation):
    global scheme
    if method == "Read":
        # The portal wraps the value in a second variant.
        invocation.return_value(GLib.Variant("(v)", (GLib.Variant("v", GLib.Variant("u", scheme)),)))
        return
    scheme = arguments.unpack()[0]
    bus.emit_signal(None, PATH, "org.freedesktop.portal.Settings", "SettingChanged",
                    GLib.Variant("(ssv)", ("org.freedesktop.appearance", "color-scheme",
                                           GLib.Variant("u", scheme))))
    bus.emit_signal(None, PATH, "dev.corvane.NimbrelTest.Portal", "ChangeSent", None)
    invocation.return_value(None)

bus = Gio.bus_get_sync(Gio.BusType.SESSION)
for interface in Gio.DBusNodeInfo.new_for_xml(XML).interfaces:
    bus.register_object(PATH, interface, called)
Gio.bus_own_name_on_connection(bus, "org.freedesktop.portal.Desktop", 0,
                               lambda *_: print("ready", flush=True), None)
GLib.MainLoop().run()
)py";

void usePalette(bool dark)
{
    QPalette palette;
    palette.setColor(QPalette::Window, dark ? QColor(0x30, 0x30, 0x30) : QColor(0xef, 0xef, 0xef));
    QGuiApplication::setPalette(palette);
}

// What is wrong with `image` as a symbol in `colour` over a clear background; empty when nothing.
QString problemWithSymbol(const QImage& image, const QColor& colour)
{
    const int last = image.width() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
        if (image.pixelColor(corner).alpha() != 0)
            return QStringLiteral("a corner is drawn");
    int opaque = 0;
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 255 && pixel.rgb() != colour.rgb())
                return QStringLiteral("an opaque pixel is %1").arg(pixel.name());
            opaque += pixel.alpha() == 255;
            drawn += pixel.alpha() > 0;
        }
    // Every symbol covers a good part of its square.
    if (drawn < image.width() * image.height() / 5 || opaque == 0)
        return QStringLiteral("%1 pixels drawn, %2 of them opaque").arg(drawn).arg(opaque);
    return {};
}

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void followsPaletteWithoutPortal_data();
    void followsPaletteWithoutPortal();
    void followsDesktop_data();
    void followsDesktop();
    void chosenLookWins();
    void symbolsDrawInColour_data();
    void symbolsDrawInColour();
    void contrastInBothLooks_data();
    void contrastInBothLooks();

signals:
    void portalChangeSent();

private:
    // Starts the fake portal with `scheme`; false when it did not take the portal's name.
    bool startPortal(uint scheme);
    // Changes the portal's scheme and delivers the change signal to the theme.
    void setDesktopScheme(uint scheme);

    QTemporaryDir scratch;
    QProcess bus;
    QString busAddress;
    std::unique_ptr<QDBusConnection> connection;
    std::unique_ptr<QProcess> portal;
    int connections = 0;
};

void tst_Theme::initTestCase()
{
    QVERIFY(scratch.isValid());
    QFile config(scratch.filePath("bus.conf"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(busConfig);
    config.close();
    bus.start("dbus-daemon", {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
    QVERIFY2(bus.waitForStarted(), "dbus-daemon is missing");
    QTRY_VERIFY_WITH_TIMEOUT(bus.canReadLine(), 10000);
    busAddress = QString::fromUtf8(bus.readLine().trimmed());
}

void tst_Theme::cleanupTestCase()
{
    bus.kill();
    bus.waitForFinished();
}

void tst_Theme::init()
{
    usePalette(false);
    const QString name = QStringLiteral("theme%1").arg(++connections);
    connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(busAddress, name));
    QVERIFY(connection->isConnected());
}

void tst_Theme::cleanup()
{
    if (portal) {
        portal->kill();
        portal->waitForFinished();
        portal.reset();
    }
    QDBusConnection::disconnectFromBus(connection->name());
    connection.reset();
}

bool tst_Theme::startPortal(uint scheme)
{
    portal = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
    portal->setProcessEnvironment(environment);
    portal->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's own interpreter, which has the GObject bindings.
    portal->start("/usr/bin/python3",
                  {"-c", QString::fromUtf8(fakePortal), QString::number(scheme)});
    if (!QTest::qWaitFor([&] { return portal->canReadLine(); }, 20000))
        return false;
    return connection->connect("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                               "dev.corvane.NimbrelTest.Portal", "ChangeSent", this,
                               SIGNAL(portalChangeSent()));
}

void tst_Theme::setDesktopScheme(uint scheme)
{
    QDBusMessage set = QDBusMessage::createMethodCall(
        "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
        "dev.corvane.NimbrelTest.Portal", "SetColorScheme");
    set << scheme;
    QSignalSpy sent(this, &tst_Theme::portalChangeSent);
    const QDBusMessage answer = connection->call(set);
    QVERIFY2(answer.type() == QDBusMessage::ReplyMessage, qPrintable(answer.errorMessage()));
    QTRY_COMPARE(sent.size(), 1);
}

void tst_Theme::followsPaletteWithoutPortal_data()
{
    QTest::addColumn<bool>("darkPalette");
    QTest::newRow("dark palette") << true;
    QTest::newRow("light palette") << false;
}

void tst_Theme::followsPaletteWithoutPortal()
{
    QFETCH(bool, darkPalette);
    usePalette(darkPalette);
    Theme theme(*connection);
    QCOMPARE(theme.dark(), darkPalette);
    QCOMPARE(theme.windowBackground().lightness() < 128, darkPalette);

    QSignalSpy changed(&theme, &Theme::changed);
    usePalette(!darkPalette);
    QTRY_COMPARE(theme.dark(), !darkPalette);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(theme.windowBackground().lightness() < 128, !darkPalette);
}

void tst_Theme::followsDesktop_data()
{
    QTest::addColumn<bool>("darkPalette");
    QTest::addColumn<uint>("scheme");
    QTest::addColumn<bool>("dark");
    // Each later scheme in turn, and whether the look is dark after it.
    QTest::addColumn<QList<uint>>("changes");
    QTest::addColumn<QList<bool>>("darkAfter");
    QTest::newRow("dark desktop, light palette")
        << false << 1u << true << QList<uint>{2, 1, 0} << QList<bool>{false, true, false};
    QTest::newRow("light desktop, dark palette")
        << true << 2u << false << QList<uint>{0, 1, 2} << QList<bool>{true, true, false};
    QTest::newRow("no preference, dark palette")
        << true << 0u << true << QList<uint>{2, 0, 7} << QList<bool>{false, true, true};
}

void tst_Theme::followsDesktop()
{
    QFETCH(bool, darkPalette);
    QFETCH(uint, scheme);
    QFETCH(bool, dark);
    QFETCH(QList<uint>, changes);
    QFETCH(QList<bool>, darkAfter);
    usePalette(darkPalette);
    QVERIFY2(startPortal(scheme), "the fake portal did not start");

    Theme theme(*connection);
    QTRY_COMPARE(theme.dark(), dark);
    for (qsizetype step = 0; step < changes.size(); ++step) {
        setDesktopScheme(changes[step]);
        QVERIFY2(theme.dark() == darkAfter[step], qPrintable(QString::number(changes[step])));
    }
}

void tst_Theme::chosenLookWins()
{
    QVERIFY2(startPortal(2), "the fake portal did not start");
    Theme theme(*connection);
    QSignalSpy changed(&theme, &Theme::changed);

    theme.setDark(true);
    QCOMPARE(changed.size(), 1);
    setDesktopScheme(1);
    setDesktopScheme(2);
    usePalette(false);
    QCOMPARE(theme.dark(), true);

    theme.setDark(false);
    QCOMPARE(changed.size(), 2);
    setDesktopScheme(1);
    usePalette(true);
    QCOMPARE(theme.dark(), false);
    QCOMPARE(changed.size(), 2);
}

void tst_Theme::symbolsDrawInColour_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"theatermasks", "checkmark.circle.fill", "moon.zzz.fill", "gearshape"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void tst_Theme::symbolsDrawInColour()
{
    QFETCH(QString, name);
    const QColor green = QColor::fromRgbF(0.16f, 0.62f, 0.33f);
    const std::optional<QImage> image = SymbolIcon::image(name, green, QSize(48, 48));
    QVERIFY(image);
    QCOMPARE(image->size(), QSize(48, 48));
    QCOMPARE(problemWithSymbol(*image, green), QString());

    // The tray asks for its size at the screen's scale; it gets pixels drawn for that.
    const QPixmap tray = SymbolIcon::icon(name, Qt::white).pixmap(QSize(22, 22), 2.0);
    QCOMPARE(tray.size(), QSize(44, 44));
    QCOMPARE(problemWithSymbol(tray.toImage(), Qt::white), QString());

    // The views ask with the colour as QML writes it.
    SymbolImageProvider provider;
    QSize size;
    const QImage served = provider.requestImage(name + "?color=#ff8000", &size, QSize(20, 20));
    QCOMPARE(size, QSize(20, 20));
    QCOMPARE(problemWithSymbol(served, QColor(0xff, 0x80, 0x00)), QString());
}

void tst_Theme::contrastInBothLooks_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QByteArray>("foreground");
    QTest::addColumn<QByteArray>("background");
    QTest::addColumn<qreal>("least");
    // Text needs 4.5:1; a control's outline or fill, and a tick mark, 3:1. By the names the
    // views read them under.
    const QList<std::tuple<const char*, const char*, const char*, qreal>> pairs{
        {"text", "primaryText", "windowBackground", 4.5},
        {"secondary text", "secondaryText", "windowBackground", 4.5},
        {"banner", "orange", "windowBackground", 4.5},
        {"button on the window", "green", "windowBackground", 3},
        {"panel and box edges", "edge", "windowBackground", 3},
        {"selected preset on the window", "selection", "windowBackground", 3},
        {"selected preset's text, tick marks", "selectionText", "selection", 4.5},
    };
    for (const bool dark : {false, true})
        for (const auto& [name, foreground, background, least] : pairs)
            QTest::addRow("%s, %s", dark ? "dark" : "light", name)
                << dark << QByteArray(foreground) << QByteArray(background) << least;
}

void tst_Theme::contrastInBothLooks()
{
    QFETCH(bool, dark);
    QFETCH(QByteArray, foreground);
    QFETCH(QByteArray, background);
    QFETCH(qreal, least);
    Theme theme(*connection);
    theme.setDark(dark);
    const QColor front = theme.property(foreground.constData()).value<QColor>();
    const QColor back = theme.property(background.constData()).value<QColor>();
    QVERIFY(front.isValid() && back.isValid());
    const qreal ratio = contrastRatio(front, back);
    QVERIFY2(ratio >= least, qPrintable(QString::number(ratio, 'f', 2)));
    // The button's caption is white in both looks.
    QVERIFY(contrastRatio(Qt::white, theme.green()) >= 4.5);
}

QTEST_MAIN(tst_Theme)
#include "tst_Theme.moc"
