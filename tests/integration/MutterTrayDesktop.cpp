#include "MutterTrayDesktop.h"

#include "TestFiles.h"
#include "TestProcesses.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QTest>

namespace
{

const QString mutterBus = QStringLiteral("mutter");
const QString remoteService = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
constexpr uint escapeKeysym = 0xff1b;
constexpr uint returnKeysym = 0xff0d;
constexpr uint spaceKeysym = 0x20;
constexpr uint shiftKeysym = 0xffe1;

QDBusMessage remoteDesktopCall(const QString& path, const QString& method,
                               const QVariantList& arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        remoteService, path,
        path == QLatin1String("/org/gnome/Mutter/RemoteDesktop") ? remoteService
                                                                 : remoteService + ".Session",
        method);
    call.setArguments(arguments);
    return QDBusConnection(mutterBus).call(call, QDBus::Block, TrayDesktop::showTimeout);
}

bool failed(const QDBusMessage& reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

} // namespace

MutterTrayDesktop::~MutterTrayDesktop()
{
    stopApps();
    QDBusConnection::disconnectFromBus(mutterBus);
}

std::optional<QString> MutterTrayDesktop::start()
{
    if (auto problem = mutter.start())
        return problem;
    // The remote desktop session lives as long as the connection that made it.
    QDBusConnection bus =
        QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), mutterBus);
    if (!bus.isConnected())
        return QStringLiteral("cannot reach mutter's bus");
    // mutter names its services on the bus a while after its Wayland socket is up.
    if (!QTest::qWaitFor(
            [&] { return bus.interface()->isServiceRegistered(remoteService).value(); },
            showTimeout))
        return QStringLiteral("mutter's remote desktop service did not appear on the bus");
    const QDBusMessage created = remoteDesktopCall(
        QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), QStringLiteral("CreateSession"));
    if (failed(created))
        return QStringLiteral("mutter has no remote desktop: ") + created.errorMessage();
    remoteDesktop = created.arguments().value(0).value<QDBusObjectPath>().path();
    if (failed(remoteDesktopCall(remoteDesktop, QStringLiteral("Start"))))
        return QStringLiteral("mutter's remote desktop session did not start");
    // mutter adds its virtual keyboard, and the seat its keyboard, at the first key; a press
    // now lets the programs started later see a keyboard from the start.
    return tap(shiftKeysym);
}

std::optional<QString> MutterTrayDesktop::press(Key key)
{
    switch (key) {
    case Key::escape:
        return tap(escapeKeysym);
    case Key::enter:
        return tap(returnKeysym);
    case Key::space:
        break;
    }
    return tap(spaceKeysym);
}

std::optional<QString> MutterTrayDesktop::tap(uint keysym) const
{
    for (const bool pressed : {true, false}) {
        const QDBusMessage reply =
            remoteDesktopCall(remoteDesktop, QStringLiteral("NotifyKeyboardKeysym"),
                              {QVariant::fromValue(keysym), pressed});
        if (failed(reply))
            return reply.errorMessage();
    }
    return std::nullopt;
}

bool MutterTrayDesktop::openAnotherWindow()
{
    const QString log = mutter.scratchPath(QStringLiteral("other.log"));
    QFile::remove(log);
    others.append(mutter.startApp(
        QStringLiteral("exec %1 %2/closer.py")
            .arg(QStringLiteral(NIMBREL_TEST_PYTHON), QStringLiteral(NIMBREL_TEST_APPS_DIR)),
        {{QStringLiteral("NIMBREL_TEST_LOG"), log}}));
    // mutter activates the new window, which GTK then logs after "shown".
    return QTest::qWaitFor([&] { return TestFiles::readFile(log).trimmed().endsWith("\nfocused"); },
                           showTimeout);
}

void MutterTrayDesktop::stopApps()
{
    for (QProcess* other : std::as_const(others))
        TestProcesses::stop(*other);
    others.clear();
}
