#include "Theme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QGuiApplication>
#include <QJSEngine>
#include <QPalette>
#include <QPointer>

namespace
{

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorScheme = QStringLiteral("color-scheme");

bool paletteIsDark()
{
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

// The portal's color-scheme: 1 prefers dark, 2 prefers light, anything else states nothing.
std::optional<bool> prefersDark(QVariant value)
{
    // Read wraps the value in one variant more than the change signal does.
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    bool isNumber = false;
    const uint scheme = value.toUInt(&isNumber);
    if (!isNumber || (scheme != 1 && scheme != 2))
        return std::nullopt;
    return scheme == 1;
}

} // namespace

Theme::Theme(const QDBusConnection& bus_, QObject* parent)
    : QObject(parent), bus(bus_), paletteDark(paletteIsDark())
{
    // The application object hears every palette change, also those the platform theme makes.
    qGuiApp->installEventFilter(this);
    // The slot is found by its parameters' type names, which exist once registered.
    qRegisterMetaType<QDBusVariant>();
    // Listen before reading so that no change slips between the answer and the subscription.
    this->bus.connect(portalService, portalPath, settingsInterface,
                      QStringLiteral("SettingChanged"), this,
                      SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
    readPortal();
}

Theme* Theme::instance()
{
    static QPointer<Theme> shared;
    if (!shared) {
        shared = new Theme(QDBusConnection::sessionBus(), qGuiApp);
        QJSEngine::setObjectOwnership(shared, QJSEngine::CppOwnership);
    }
    return shared;
}

Theme* Theme::create(QQmlEngine*, QJSEngine*)
{
    return instance();
}

bool Theme::dark() const
{
    return chosenDark.value_or(desktopDark.value_or(paletteDark));
}

void Theme::setDark(bool dark)
{
    update([&] { chosenDark = dark; });
}

QColor Theme::windowBackground() const
{
    return pick(QColor(0xf6, 0xf5, 0xf4), QColor(0x24, 0x24, 0x24));
}

QColor Theme::primaryText() const
{
    return pick(QColor(0x1e, 0x1e, 0x1e), QColor(0xf2, 0xf2, 0xf2));
}

QColor Theme::secondaryText() const
{
    return pick(QColor(0x6a, 0x6a, 0x6e), QColor(0xa1, 0xa1, 0xa6));
}

QColor Theme::green() const
{
    // One green in both looks: it carries white text, and stands out on either background.
    return QColor(0x1f, 0x84, 0x44);
}

QColor Theme::grey() const
{
    return pick(QColor(0x8e, 0x8e, 0x93), QColor(0x98, 0x98, 0x9d));
}

QColor Theme::orange() const
{
    return pick(QColor(0xb3, 0x4a, 0x00), QColor(0xff, 0x78, 0x00));
}

QColor Theme::edge() const
{
    return pick(QColor(0x8a, 0x8a, 0x8e), QColor(0x7a, 0x7a, 0x7a));
}

QColor Theme::selection() const
{
    // On dark, the button's green would sink into the window; a lighter one carries dark text.
    return pick(green(), QColor(0x57, 0xc4, 0x7f));
}

QColor Theme::selectionText() const
{
    return pick(QColor(Qt::white), QColor(0x11, 0x11, 0x11));
}

bool Theme::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange)
        update([&] { paletteDark = paletteIsDark(); });
    return QObject::eventFilter(watched, event);
}

void Theme::portalSettingChanged(const QString& group, const QString& key,
                                 const QDBusVariant& value)
{
    if (group != appearance || key != colorScheme)
        return;
    desktopChanged = true;
    update([&] { desktopDark = prefersDark(value.variant()); });
}

void Theme::readPortal()
{
    // Read rather than ReadOne: every version of the portal has it.
    QDBusMessage read =
        QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, "Read");
    read << appearance << colorScheme;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        // Without a portal, or without the setting, the palette decides.
        if (reply.isError() || desktopChanged)
            return;
        update([&] { desktopDark = prefersDark(reply.value().variant()); });
    });
}

QColor Theme::pick(const QColor& light, const QColor& dark) const
{
    return this->dark() ? dark : light;
}

template <typename Change> void Theme::update(Change change)
{
    const bool wasDark = dark();
    change();
    if (dark() != wasDark)
        emit changed();
}
