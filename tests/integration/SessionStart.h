#pragma once

#include <QString>
#include <QTest>

#include <optional>

// What a test does when its session (a desktop, a compositor) cannot start.
namespace SessionStart
{

// In CI a session that cannot start is a failure, elsewhere a reason to skip.
inline bool mustSucceed()
{
    return qgetenv("CI") == "true";
}

} // namespace SessionStart

// Runs `start` (a session's start(): nothing, or why not) or ends the test saying `label` and why.
#define NIMBREL_START_SESSION(start, label)                                                        \
    do {                                                                                           \
        if (const std::optional<QString> problem = (start)) {                                      \
            if (SessionStart::mustSucceed())                                                       \
                QFAIL(qPrintable(QStringLiteral(label) + *problem));                               \
            QSKIP(qPrintable(QStringLiteral(label) + *problem));                                   \
        }                                                                                          \
    } while (false)
