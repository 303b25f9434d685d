#include "renderer.h"

#include <QDir>
#include <QOffscreenSurface>
#include <QRegularExpression>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlEngine>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QtDebug>

namespace {
class SoftwareShadows : public QQmlAbstractUrlInterceptor
{
public:
    QUrl intercept(const QUrl &url, DataType type) override
    {
        if (type == QmlFile && url.path().endsWith(QLatin1String("/Controls.2/Material/ElevationEffect.qml")))
            return QUrl(QStringLiteral("qrc:/software/ElevationEffect.qml"));
        return url;
    }
};
} // namespace

bool Renderer::isSoftwareRasteriser(const QByteArray &glRenderer)
{
    const QByteArray name = glRenderer.toLower();
    for (const char *software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "software renderer",
                                 "gdi generic", "microsoft basic render"})
        if (name.contains(software))
            return true;
    return name.trimmed().isEmpty();
}

bool Renderer::hasGraphicsDevice(const QStringList &deviceFiles)
{
    static const QRegularExpression graphics(QStringLiteral("^(card|renderD|nvidia)[0-9]+$"));
    for (const QString &file : deviceFiles)
        if (graphics.match(file).hasMatch())
            return true;
    return false;
}

void Renderer::choose()
{
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
        return;
    QByteArray glRenderer;
#ifdef Q_OS_LINUX
    const QStringList devices = QDir(QStringLiteral("/dev/dri")).entryList(QDir::System | QDir::AllEntries)
        + QDir(QStringLiteral("/dev")).entryList({QStringLiteral("nvidia*")}, QDir::System | QDir::AllEntries);
    if (!hasGraphicsDevice(devices)) {
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
        qWarning() << "renderer" << "software" << "no graphics device";
        return;
    }
#endif
    {
        QOffscreenSurface surface;
        surface.create();
        QOpenGLContext context;
        if (context.create() && context.makeCurrent(&surface)) {
            glRenderer = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
            context.doneCurrent();
        }
    }
    const bool software = isSoftwareRasteriser(glRenderer);
    if (software)
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    qWarning() << "renderer" << (software ? "software" : "OpenGL") << glRenderer;
}

void Renderer::adapt(QQmlEngine *engine)
{
    static SoftwareShadows shadows;
    const QString software = QStringLiteral("software"); // chosen here, or by the user's QT_QUICK_BACKEND
    if (QQuickWindow::sceneGraphBackend() == software || qEnvironmentVariable("QT_QUICK_BACKEND") == software
        || qEnvironmentVariable("QMLSCENE_DEVICE") == software)
        engine->setUrlInterceptor(&shadows);
}
