#include "SwayTrayDesktop.h"

#include "TestProcesses.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QRect>

namespace
{

// The panel is 380 × 470 units, a unit following the desktop's font (Units).
const QSize popoverUnits{380, 470};
// The panel's distance from the output's edges.
constexpr int margin = 8;

} // namespace

SwayTrayDesktop::~SwayTrayDesktop()
{
    TestProcesses::stop(keyboard);
}

std::optional<QString> SwayTrayDesktop::start()
{
    if (auto problem = sway.start())
        return problem;
    // sway's runtime folder is nobody's; the single-instance socket's must be the program's own.
    const QString runtime = sway.scratchPath(QStringLiteral("runtime"));
    if (!QDir().mkpath(runtime) ||
        !QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner))
        return QStringLiteral("cannot make the program's runtime folder");
    // wtype's keyboard stays while it sleeps.
    keyboard.start(QStringLiteral("wtype"), {QStringLiteral("-s"), QStringLiteral("86400000")});
    if (!keyboard.waitForStarted(showTimeout))
        return QStringLiteral("wtype did not start");
    pointer = std::make_unique<WlrVirtualPointer>();
    if (const std::optional<QString> problem = pointer->problem())
        return problem;
    return std::nullopt;
}

QProcessEnvironment SwayTrayDesktop::programEnvironment(const QString& busAddress)
{
    QProcessEnvironment environment = TrayDesktop::programEnvironment(busAddress);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                       sway.scratchPath(QStringLiteral("runtime")));
    return environment;
}

bool SwayTrayDesktop::showsPanel(pid_t program)
{
    // On the layer shell, no window of sway's tree: at the output's top right, panel-sized.
    if (!panelIsShownToProgram() || sway.windowPids().contains(program))
        return false;
    const QImage shown = screen();
    if (shown.isNull())
        return false;
    // From inside its top right corner, below where the corner may be rounded, along its
    // padding to its edges.
    const int top = topInset + margin;
    const QPoint corner(shown.width() - margin - 3, top + 12);
    const QRgb inside = shown.pixel(corner);
    if (shown.pixel(corner + QPoint(5, 0)) == inside)
        return false;
    int left = corner.x();
    while (left > 0 && shown.pixel(left - 1, corner.y()) == inside)
        --left;
    int bottom = corner.y();
    while (bottom + 1 < shown.height() && shown.pixel(corner.x(), bottom + 1) == inside)
        ++bottom;
    const int width = corner.x() - left + 5;
    const int height = bottom - top + 3;
    return width >= popoverUnits.width() * 3 / 4 &&
           qAbs(height * popoverUnits.width() - width * popoverUnits.height()) <=
               6 * popoverUnits.height();
}

std::optional<QString> SwayTrayDesktop::press(Key key)
{
    const QString name = key == Key::escape  ? QStringLiteral("Escape")
                         : key == Key::enter ? QStringLiteral("Return")
                                             : QStringLiteral("space");
    QProcess wtype;
    wtype.start(QStringLiteral("wtype"), {QStringLiteral("-k"), name});
    if (!wtype.waitForFinished(showTimeout) || wtype.exitCode() != 0)
        return QStringLiteral("wtype failed");
    return std::nullopt;
}

std::optional<int> SwayTrayDesktop::otherWindowCount(pid_t program)
{
    return int(sway.windowPids().size() - sway.windowPids().count(program));
}

bool SwayTrayDesktop::openAnotherWindow()
{
    QProcess* other =
        sway.apps().start(QStringLiteral("foot"), {QStringLiteral("--log-level=warning"),
                                                   QStringLiteral("sleep"), QStringLiteral("600")});
    return other &&
           QTest::qWaitFor([&] { return sway.focusedPid() == other->processId(); }, showTimeout);
}

void SwayTrayDesktop::stopApps()
{
    sway.apps().stopAll();
    // The program may have started apps of its own (reopened ones): their windows close too.
    QProcess close;
    close.start(QStringLiteral("swaymsg"),
                {QStringLiteral("-s"), sway.swaySocket(), QStringLiteral("[title=\".*\"] kill")});
    close.waitForFinished(showTimeout);
    (void)QTest::qWaitFor([&] { return sway.windowPids().isEmpty(); }, showTimeout);
}

std::optional<QString> SwayTrayDesktop::click(QPoint point, int button)
{
    const QImage shown = screen();
    if (shown.isNull())
        return QStringLiteral("the output cannot be read");
    return pointer->click(point, shown.size(), button);
}

std::optional<QString> SwayTrayDesktop::parkPointer()
{
    const QImage shown = screen();
    if (shown.isNull())
        return QStringLiteral("the output cannot be read");
    return pointer->moveTo({0, shown.height() - 1}, shown.size());
}

QImage SwayTrayDesktop::screen() const
{
    QProcess grim;
    grim.start(QStringLiteral("grim"), {QStringLiteral("-")});
    if (!grim.waitForFinished(showTimeout) || grim.exitCode() != 0)
        return {};
    return QImage::fromData(grim.readAllStandardOutput(), "PNG");
}
