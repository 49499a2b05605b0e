#include "MainThread.h"

#include <QCoreApplication>
#include <QThread>

bool isMainThread()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void requireMainThread(const char* what)
{
    if (!QCoreApplication::instance())
        qFatal("%s needs a QCoreApplication and its main thread", what);
    if (!isMainThread())
        qFatal("%s must run on the main thread", what);
}
