#pragma once

#include <QStringList>

#include <optional>

// Translates freedesktop menu categories into the category identifiers the planner knows.
namespace DesktopCategories
{

// The identifier of the first of `categories` (in the order a desktop entry lists them) that has
// one; broad main categories such as "AudioVideo" have none, so a specific one after them wins.
std::optional<QString> identifier(const QStringList& categories);

} // namespace DesktopCategories
