#include "UnsupportedWorkspace.h"
#include "WorkspaceFactory.h"

#include <QTest>

// The choice of backend from the session's environment; no X server is needed.
class TestWorkspaceFactory : public QObject
{
    Q_OBJECT

    void setSession(const QByteArray& display, const QByteArray& wayland, const QByteArray& type)
    {
        for (const auto& [name, value] :
             {std::pair{"DISPLAY", display}, std::pair{"WAYLAND_DISPLAY", wayland},
              std::pair{"XDG_SESSION_TYPE", type}}) {
            if (value.isEmpty())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

private slots:
    void explainsWhyAppsCannotBeSeen_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("sessionType");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no display at all")
            << QByteArray() << QByteArray() << QByteArray("tty") << "no display";
        QTest::newRow("Wayland display that does not answer, without XWayland")
            << QByteArray() << QByteArray("nimbrel-no-such-wayland-display")
            << QByteArray("wayland")
            << "cannot connect to the Wayland display \"nimbrel-no-such-wayland-display\"";
        QTest::newRow("Wayland session type only")
            << QByteArray() << QByteArray() << QByteArray("wayland")
            << "unsupported session: Wayland without XWayland (DISPLAY is not set)";
        QTest::newRow("X display that does not answer")
            << QByteArray(":4711") << QByteArray() << QByteArray("x11")
            << "cannot connect to the X display \":4711\"";
    }

    void explainsWhyAppsCannotBeSeen()
    {
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, sessionType);
        QFETCH(QString, reason);
        setSession(display, wayland, sessionType);

        const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
        const auto* unsupported = dynamic_cast<UnsupportedWorkspace*>(workspace.get());
        QVERIFY(unsupported);
        QCOMPARE(unsupported->reason(), reason);
        QVERIFY(workspace->runningApplications().isEmpty());
        QCOMPARE(workspace->runningApplication(1), std::nullopt);
        QVERIFY(!workspace->requestQuit(1));
        QVERIFY(!workspace->forceQuit(1));
    }
};

QTEST_MAIN(TestWorkspaceFactory)
#include "tst_WorkspaceFactory.moc"
