// panel_host: shows the tray panel over the tutorial's sample apps (or, with --running, over the
// apps running on the current display) in an ordinary window there and runs until it is ended, so
// a test can drive and inspect it from outside.
#include "PanelView.h"
#include "ProcProcessInfo.h"
#include "QuitModel.h"
#include "SampleApps.h"
#include "SettingsStore.h"
#include "Views.h"
#include "WorkspaceFactory.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickView>
#include <QtQml/QQmlExtensionPlugin>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

int main(int argc, char* argv[])
{
    Views::configure();
    QGuiApplication application(argc, argv);

    SettingsStore store = SettingsStore::standard();
    const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    const ProcProcessInfo processes;
    QuitModel model(*workspace, processes, store);
    // Fixed apps unless asked, so what the panel lists does not depend on what runs there.
    if (!QGuiApplication::arguments().contains(QStringLiteral("--running")))
        model.setFixedApps(SampleApps::tutorial());

    QQmlEngine engine;
    Views::prepare(engine);
    QQuickView view(&engine, nullptr);
    view.setTitle(QStringLiteral("Nimbrel panel"));
    if (!PanelView::load(view, model, nullptr))
        return 1;
    PanelView::fitToContent(view);
    view.show();
    return application.exec();
}
