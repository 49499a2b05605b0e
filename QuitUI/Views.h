#pragma once

class QQmlEngine;

// Sets up Qt Quick for the panel's views.
namespace Views
{

/// Picks the renderer and the controls' style; call once before the first window exists.
/// The software renderer keeps an idle tray program small; NIMBREL_RENDERER=gpu picks the GPU.
void configure();
/// Gives `engine` the views' module and the image providers they load icons from.
void prepare(QQmlEngine& engine);

} // namespace Views
