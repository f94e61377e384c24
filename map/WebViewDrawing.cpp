#include "map/WebViewDrawing.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace WebViewDrawing {

bool IsSoftwareRenderer(const QByteArray& glRenderer) {
    const QByteArray name = glRenderer.trimmed().toLower();
    if (name.isEmpty())
        return true;
    // Mesa's llvmpipe, softpipe and swrast.
    for (const char* cpu : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (name.contains(cpu))
            return true;
    return false;
}

QByteArray OpenGlRenderer() {
    QOpenGLContext context;
    if (!context.create())
        return QByteArray();
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return QByteArray();
    const auto* text = context.functions()->glGetString(GL_RENDERER);
    const QByteArray renderer(text ? reinterpret_cast<const char*>(text) : "");
    context.doneCurrent();
    return renderer;
}

bool UseSoftwareWhereOpenGlIsSoftware() {
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QSG_RHI_BACKEND"))
        return QQuickWindow::sceneGraphBackend() == QLatin1String("software");
    if (!IsSoftwareRenderer(OpenGlRenderer()))
        return false;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    return true;
}

} // namespace WebViewDrawing
