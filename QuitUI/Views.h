#pragma once

class QQmlEngine;

// Sets up Qt Quick for the panel's views.
namespace Views
{

/// Picks the renderer and the controls' style; call once before the first window exists.
/// The software renderer keeps an idle tray program small; NIMBREL_RENDERER=gpu picks the GPU.
void configure();
/// Lets app icons come from the freedesktop default theme where the desktop names none (no
/// platform theme, e.g. a bare X session). Call once the application exists.
void useDesktopIcons();
/// Gives `engine` the views' module and the image providers they load icons from.
void prepare(QQmlEngine& engine);

} // namespace Views
