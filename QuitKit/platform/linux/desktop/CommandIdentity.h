#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What a command line runs, for telling apps apart: the program's file name, or for an
// interpreter or wrapper (python3, java, sh, env, flatpak run …) the script, module, class or app
// it runs, since one interpreter starts many unrelated apps.
namespace CommandIdentity
{

// Nothing when the command line runs nothing of its own: an interpreter's prompt, code given
// inline (`sh -c …`), or no words at all.
std::optional<QString> of(const QStringList& words);

} // namespace CommandIdentity
