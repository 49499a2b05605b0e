#include "ShellEngine.h"

#include "Views.h"

#include <QQmlEngine>

ShellEngine::ShellEngine() = default;

ShellEngine::~ShellEngine() = default;

QQmlEngine& ShellEngine::get()
{
    if (!engine) {
        engine = std::make_unique<QQmlEngine>();
        Views::prepare(*engine);
    }
    return *engine;
}
