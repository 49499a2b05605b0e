#pragma once

#include "CtlProgram.h"

#include <QString>

#include <variant>

// Finds and loads nimbrelctl's commands module (CtlProgram), installed relative to the program.
namespace CtlModule
{

// The module's entry point; why it cannot be loaded otherwise.
std::variant<CtlProgram::Run, QString> load();

} // namespace CtlModule
