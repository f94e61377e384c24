#pragma once
#include <QByteArray>

// How the web views draw. Qt WebEngine draws through OpenGL by default and
// then composes the whole window through OpenGL. Where OpenGL rasterises on
// the CPU (llvmpipe under Xvfb, in virtual machines and on machines without a
// GPU driver) that costs several times the CPU of the engine's software path
// for every frame of the map, so the views draw in software there.
namespace WebViewDrawing {

// True for the renderer string (GL_RENDERER) of an OpenGL that rasterises on
// the CPU, and for an empty one (no OpenGL at all).
bool IsSoftwareRenderer(const QByteArray& glRenderer);

// The renderer string of the default OpenGL context; empty when none can be
// made current.
QByteArray OpenGlRenderer();

// Chooses software drawing for the web views when OpenGL rasterises on the
// CPU, unless the user has chosen a Qt Quick backend. Call before the first
// web view and the first browser profile exist. True when software is used.
bool UseSoftwareWhereOpenGlIsSoftware();

} // namespace WebViewDrawing
