#include "TestDesktopApps.h"

#include <QImage>

namespace
{

QString entry(const QString& name, const QString& script, const QString& extra = {})
{
    return QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\n%3")
        .arg(name, DesktopSession::appCommand(script), extra);
}

} // namespace

TestDesktopApps TestDesktopApps::install(DesktopSession& session)
{
    TestDesktopApps apps;
    apps.iconFile = session.scratchPath(QStringLiteral("closer.png"));
    QImage icon(48, 48, QImage::Format_ARGB32);
    icon.fill(Qt::green);
    icon.save(apps.iconFile);
    apps.closer = session.installDesktopEntry(
        QStringLiteral("nimbrel-closer.desktop"),
        entry(QStringLiteral("Closer"), QStringLiteral("closer.py"),
              QStringLiteral("Icon=%1\nCategories=Game;ArcadeGame;\n").arg(apps.iconFile)));
    apps.grabber =
        session.installDesktopEntry(QStringLiteral("nimbrel-grabber.desktop"),
                                    entry(QStringLiteral("Grabber"), QStringLiteral("grabber.py")));
    apps.unsaved = session.installDesktopEntry(
        QStringLiteral("nimbrel-notes.desktop"),
        entry(QStringLiteral("Unsaved Notes"), QStringLiteral("unsaved.py"),
              QStringLiteral("StartupWMClass=nimbrel-unsaved-notes\nCategories=Office;\n")));
    apps.actions =
        session.installDesktopEntry(QStringLiteral("dev.corvane.NimbrelTest.Actions.desktop"),
                                    entry(QStringLiteral("Actions"), QStringLiteral("actions.py")));
    apps.helper = session.installDesktopEntry(
        QStringLiteral("nimbrel-helper.desktop"),
        entry(QStringLiteral("Helper Parent"), QStringLiteral("helper.py")));
    apps.hidden =
        session.installDesktopEntry(QStringLiteral("nimbrel-hidden.desktop"),
                                    entry(QStringLiteral("Hidden"), QStringLiteral("hidden.py")));
    return apps;
}
