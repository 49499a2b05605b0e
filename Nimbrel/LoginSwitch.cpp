#include "LoginSwitch.h"

#include "AppInfo.h"

#include <QCoreApplication>
#include <QDebug>

LoginSwitch::LoginSwitch(QObject* parent)
    : LoginSwitch(LoginItem(AppInfo::identifier(), QCoreApplication::applicationFilePath()), parent)
{
}

LoginSwitch::LoginSwitch(LoginItem loginItem_, QObject* parent)
    : QObject(parent), loginItem(std::move(loginItem_)), on(this->loginItem.isEnabled())
{
}

void LoginSwitch::setOn(bool wanted)
{
    const auto failure = wanted ? loginItem.registerItem() : loginItem.unregisterItem();
    lastProblem.clear();
    if (failure) {
        qWarning().noquote() << "Could not turn opening at login" << (wanted ? "on:" : "off:")
                             << *failure;
        lastProblem =
            (wanted
                 ? QCoreApplication::translate("Nimbrel", "Could not turn on opening at login: %1")
                 : QCoreApplication::translate("Nimbrel",
                                               "Could not turn off opening at login: %1"))
                .arg(*failure);
    }
    on = loginItem.isEnabled();
    emit onChanged();
}
