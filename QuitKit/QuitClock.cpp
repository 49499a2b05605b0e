#include "QuitClock.h"

#include <QCoreApplication>
#include <QTimer>

namespace
{

class SystemClock : public QuitClock
{
public:
    void callAfter(std::chrono::milliseconds delay, std::function<void()> task) override
    {
        QTimer::singleShot(delay, Qt::PreciseTimer, QCoreApplication::instance(), std::move(task));
    }
};

} // namespace

QuitClock& QuitClock::system()
{
    static SystemClock clock;
    return clock;
}
