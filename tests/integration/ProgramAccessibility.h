#pragma once

#include <QHash>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>

// What a screen reader sees of the program a test starts: an accessibility bus beside each
// session bus the program is started on, and the windows the program shows there with their
// states ("visible", "active" once it has the keyboard). It is the program's own view, on any
// desktop, whether or not the compositor lists its windows to others.
class ProgramAccessibility
{
public:
    ~ProgramAccessibility();

    // Starts an accessibility bus for `busAddress` (once) and adds to `environment` what a Qt
    // program needs to show itself there; the next looks are at that bus.
    void prepare(QProcessEnvironment& environment, const QString& busAddress);
    // prepare() for this process's own session bus: the variables to add to the program's
    // environment.
    QHash<QString, QString> prepareOnOwnBus();
    // The state names of each window titled `title` (any when empty) the program shows.
    QList<QStringList> shownWindows(const QString& title = {}) const;
    // The names of the program's shown objects in `role` ("menu item", say), in tree order.
    QStringList shownNames(const QString& role) const;
    // A window titled `title` is shown and has the keyboard.
    bool isActive(const QString& title) const;
    // Gives the keyboard focus to the program's button whose name starts with `name`; false
    // while it shows none.
    bool focus(const QString& name) const;

private:
    // Runs `script` of the test apps with `arguments` against the program's bus; its output.
    QByteArray run(const QString& script, const QStringList& arguments,
                   int* exitCode = nullptr) const;

    QString programBus;
    QHash<QString, std::shared_ptr<QProcess>> accessibilityBuses;
};
