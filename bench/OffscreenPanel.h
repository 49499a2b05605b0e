#pragma once

#include <QTemporaryDir>

#include <memory>

// What the panel benchmarks share: the panel drawn off screen, with settings of its own.
namespace OffscreenPanel
{

/// Call before the application object exists: picks the off-screen platform unless another is
/// set, points the settings at a throwaway folder (returned; it must outlive the application),
/// configures the views and keeps the off-screen platform's warnings quiet.
std::unique_ptr<QTemporaryDir> prepare();

} // namespace OffscreenPanel
