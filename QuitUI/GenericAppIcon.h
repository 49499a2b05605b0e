#pragma once

#include <QIcon>

// The icon for an app that shows none of its own.
namespace GenericAppIcon
{

// The theme's "application-x-executable", else a plain window drawn here.
QIcon icon();

} // namespace GenericAppIcon
