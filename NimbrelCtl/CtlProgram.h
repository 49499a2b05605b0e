#pragma once

#include "CtlArguments.h"

// What nimbrelctl runs once a command needs the desktop. It is a module of its own, which main()
// loads only then, so that --help and --version start without the engine's libraries (Qt GUI,
// D-Bus, X11, GIO and the rest). It runs in the application main() made, translations installed.
namespace CtlProgram
{

// Runs the command on the desktop and returns nimbrelctl's exit status.
using Run = int (*)(const CtlArguments& arguments);
// The module's entry point, a Run.
inline constexpr char runSymbol[] = "nimbrelctlRun";

} // namespace CtlProgram

extern "C" int nimbrelctlRun(const CtlArguments& arguments);
