// nimbrel-preview: draws the tray panel into a PNG file, over the tutorial's sample apps or over
// the apps running now, in the light or the dark theme. The README's pictures come from here.
#include "Localization.h"
#include "PanelView.h"
#include "ProcProcessInfo.h"
#include "QuitModel.h"
#include "SampleApps.h"
#include "SettingsStore.h"
#include "Theme.h"
#include "Views.h"
#include "WorkspaceFactory.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <cstdio>

Q_IMPORT_QML_PLUGIN(Nimbrel_QuitUIPlugin)
Q_IMPORT_QML_PLUGIN(Nimbrel_ShellPlugin)

int main(int argc, char* argv[])
{
    // Drawn off screen, so it runs without a display; the running apps come from $DISPLAY.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Views::configure();
    QGuiApplication application(argc, argv);
    installTranslations(application);
    Views::useDesktopIcons();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws Nimbrel's panel into a PNG file."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("running"), QStringLiteral("List the apps running now.")});
    parser.addOption({QStringLiteral("dark"), QStringLiteral("Use the dark theme.")});
    parser.addOption({QStringLiteral("done"),
                      QStringLiteral("Show the result of a pretend quit of the sample apps.")});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The PNG file to write."));
    parser.process(application);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    // The preview reads and writes no settings of the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    SettingsStore store = SettingsStore::standard();
    const std::unique_ptr<Workspace> workspace = WorkspaceFactory::createWorkspace();
    const ProcProcessInfo processes;
    QuitModel model(*workspace, processes, store);
    const bool done = parser.isSet(QStringLiteral("done"));
    if (!parser.isSet(QStringLiteral("running")) || done)
        model.setFixedApps(SampleApps::tutorial());
    model.setSimulate(done);
    Theme::instance()->setDark(parser.isSet(QStringLiteral("dark")));

    QQmlEngine engine;
    Views::prepare(engine);
    QQuickView view(&engine, nullptr);
    if (!PanelView::load(view, model, nullptr))
        return 1;
    PanelView::fitToContent(view);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return 1;
    if (done) {
        model.startQuitAll();
        if (!QTest::qWaitFor([&model] { return model.phase().isDone(); }, 5000))
            return 1;
    }
    // Icons load as the rows appear; one more frame shows them.
    QTest::qWait(50);
    const QString file = parser.positionalArguments().constFirst();
    if (!view.grabWindow().save(file)) {
        std::fprintf(stderr, "nimbrel-preview: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
