#pragma once

#include "LoginItem.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// The settings window's "Open at login" switch. `on` always shows whether the login item is
// enabled: after a flip that could not be carried out it reads as before, and says so through
// onChanged so a switch the user moved springs back, and `problem` says why (also in the log)
// until a later flip succeeds.
class LoginSwitch : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool on READ isOn WRITE setOn NOTIFY onChanged)
    Q_PROPERTY(QString problem READ problem NOTIFY onChanged)

public:
    // Over this program's own login item.
    explicit LoginSwitch(QObject* parent = nullptr);
    explicit LoginSwitch(LoginItem loginItem, QObject* parent = nullptr);

    bool isOn() const { return on; }
    void setOn(bool wanted);
    QString problem() const { return lastProblem; }

signals:
    void onChanged();

private:
    LoginItem loginItem;
    bool on;
    QString lastProblem;
};
