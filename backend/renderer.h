#pragma once

#include <QByteArray>
#include <QStringList>

class QQmlEngine;

// How the window is drawn. Where OpenGL is drawn by the processor (Mesa's
// llvmpipe on a small computer without a graphics driver, a virtual
// machine, a remote desktop), it redraws the whole window at every frame on
// three more threads, most of the cost of a barograph that changes a few
// figures and a line every 2 s. Qt Quick's software renderer repaints only
// what changed, on the main thread. With a graphics processor, OpenGL stays.
namespace Renderer {

// Whether GL_RENDERER names OpenGL drawn by the processor.
bool isSoftwareRasteriser(const QByteArray &glRenderer);

// Whether the device files (of /dev/dri and /dev: "card0", "renderD128",
// "nvidia0"...) include a graphics processor's. Without one OpenGL can only
// be drawn by the processor, and is not even loaded to ask (its rasteriser
// weighs some 50 MiB).
bool hasGraphicsDevice(const QStringList &deviceFiles);

// Before the first window. QT_QUICK_BACKEND, when set, decides instead; an
// OpenGL that cannot be had at all also gives the software renderer, where
// the window would otherwise not open.
void choose();

// For the engine of the windows, once chosen: under the software renderer the
// raised controls (buttons, lists, menus, switches) lose their shader-drawn
// shadow, which would take the whole control with it, for one drawn with
// rectangles.
void adapt(QQmlEngine *engine);

} // namespace Renderer
