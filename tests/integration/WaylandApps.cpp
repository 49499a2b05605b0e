#include "WaylandApps.h"

#include <QTest>

#include <algorithm>

WaylandApps::WaylandApps(int appearTimeout_, QHash<QString, QString> sessionEnvironment_)
    : appearTimeout(appearTimeout_), sessionEnvironment(std::move(sessionEnvironment_))
{
}

WaylandApps::~WaylandApps()
{
    stopAll();
}

QProcess* WaylandApps::start(const QString& program, const QStringList& arguments,
                             const QHash<QString, QString>& environment)
{
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    variables.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    QHash<QString, QString> added = sessionEnvironment;
    added.insert(environment);
    for (auto variable = added.cbegin(); variable != added.cend(); ++variable)
        variables.insert(variable.key(), variable.value());
    auto* app = new QProcess;
    app->setProcessEnvironment(variables);
    app->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app->start(program, arguments);
    apps.append(app);
    return app->waitForStarted() ? app : nullptr;
}

pid_t WaylandApps::startListed(Workspace& listing, const QString& program,
                               const QStringList& arguments,
                               const QHash<QString, QString>& environment)
{
    QProcess* app = start(program, arguments, environment);
    const pid_t pid = app ? pid_t(app->processId()) : 0;
    const bool listed =
        pid &&
        QTest::qWaitFor([&] { return listing.runningApplication(pid).has_value(); }, appearTimeout);
    return listed ? pid : 0;
}

void WaylandApps::stopAll()
{
    for (QProcess* app : std::as_const(apps)) {
        app->kill();
        app->waitForFinished(3000);
        delete app;
    }
    apps.clear();
}

qsizetype WaylandApps::countOf(const QList<RunningApplication>& apps, pid_t pid)
{
    return std::count_if(apps.cbegin(), apps.cend(),
                         [pid](const RunningApplication& app) { return app.pid == pid; });
}
