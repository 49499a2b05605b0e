#pragma once

#include <QString>

class LoginItem;
class SettingsStore;

// Turns the login item on the first time the program runs, and never again: once the store
// says "LoginItemDecided" the user's own choice stands. Development builds (an identifier
// ending in ".dev") leave both the store and the login item alone. A failure is only logged.
void turnOnLoginOnce(SettingsStore& settings, const QString& programId, const LoginItem& loginItem);
