#pragma once

#include <QString>

// The user's configuration folder: $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString configHome();
