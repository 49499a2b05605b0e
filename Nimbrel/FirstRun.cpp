#include "FirstRun.h"

#include "AppInfo.h"
#include "LoginItem.h"
#include "LoginOnce.h"
#include "ProgramWindows.h"
#include "QuitModel.h"
#include "SampleApps.h"
#include "SettingsKeys.h"
#include "SettingsStore.h"

#include <QCoreApplication>

namespace
{

const QSize tutorialUnits{460, 600};

// The tutorial keeps its ticks and preset apart from the user's own.
SettingsStore& tutorialDefaults()
{
    static SettingsStore store =
        SettingsStore::suiteOrStandard(QStringLiteral("dev.corvane.Nimbrel.tutorial"));
    return store;
}

} // namespace

FirstRun::FirstRun(ProgramWindows& windows_, Workspace& workspace_, const ProcessInfo& processes_,
                   SettingsStore& store_, QObject* parent)
    : QObject(parent), windows(windows_), workspace(workspace_), processes(processes_),
      store(store_)
{
    // Closing any program window before the tutorial was seen counts as having seen it.
    connect(&windows_, &ProgramWindows::windowClosing, this, [this](NimbrelWindow* closing) {
        if (!tutorialSeen())
            markSeen(closing);
    });
}

void FirstRun::greet()
{
    if (tutorialSeen())
        turnOnLoginOnce();
    else
        showTutorial();
}

bool FirstRun::tutorialSeen() const
{
    return store.value(SettingsKeys::tutorialSeen);
}

void FirstRun::showTutorial()
{
    // The model belongs to the tutorial's view and goes with it.
    QuitModel* model = sampleModel(tutorialDefaults()).release();
    windows.show(QCoreApplication::translate("Nimbrel", "Welcome to Nimbrel"), tutorialUnits,
                 QStringLiteral("NimbrelTutorial"),
                 {{QStringLiteral("model"), QVariant::fromValue(model)}});
    model->setParent(windows.window());
}

void FirstRun::finishTutorial()
{
    markSeen(nullptr);
}

std::unique_ptr<QuitModel> FirstRun::sampleModel(SettingsStore& ticks)
{
    auto model = std::make_unique<QuitModel>(workspace, processes, ticks);
    model->setSimulate(true);
    model->setFixedApps(SampleApps::tutorial());
    return model;
}

void FirstRun::markSeen(const NimbrelWindow* closing)
{
    store.set(SettingsKeys::tutorialSeen, true);
    turnOnLoginOnce();
    NimbrelWindow* window = windows.window();
    if (window && window != closing && window->isVisible())
        window->close();
}

void FirstRun::turnOnLoginOnce()
{
    const LoginItem loginItem(AppInfo::identifier(), QCoreApplication::applicationFilePath());
    ::turnOnLoginOnce(store, AppInfo::identifier(), loginItem);
}
