#pragma once

#include "Quitter.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <optional>
#include <variant>

/// Where a quit stands: ready, quitting with progress, or done with its report.
/// Two phases are equal when they are the same case with equal payloads.
class Phase
{
    Q_GADGET
    QML_VALUE_TYPE(phase)
    Q_PROPERTY(Kind kind READ kind CONSTANT)
    Q_PROPERTY(int closed READ closed CONSTANT)
    Q_PROPERTY(int of READ of CONSTANT)
    Q_PROPERTY(bool isReady READ isReady CONSTANT)
    Q_PROPERTY(bool isQuitting READ isQuitting CONSTANT)
    Q_PROPERTY(bool isDone READ isDone CONSTANT)

public:
    enum Kind { Ready, Quitting, Done };
    Q_ENUM(Kind)

    /// The ready phase.
    Phase() = default;
    static Phase ready() { return {}; }
    static Phase quitting(int closed, int of);
    static Phase done(Quitter::Report report);

    Kind kind() const;
    bool isReady() const { return kind() == Ready; }
    bool isQuitting() const { return kind() == Quitting; }
    bool isDone() const { return kind() == Done; }
    /// While quitting: the apps closed so far and the apps in the run; 0 in other phases.
    int closed() const;
    int of() const;
    /// The report of a done phase; nothing in other phases.
    std::optional<Quitter::Report> report() const;

    friend bool operator==(const Phase&, const Phase&) = default;

private:
    struct Progress {
        int closed = 0;
        int of = 0;
        friend bool operator==(const Progress&, const Progress&) = default;
    };

    std::variant<std::monostate, Progress, Quitter::Report> state;
};
