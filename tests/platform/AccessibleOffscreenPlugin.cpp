// The offscreen platform with an accessibility layer that is always on, so that
// tests hear the events a screen reader would: offscreen has none, and without
// one Qt drops every event before any handler sees it.
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qplatformintegrationfactory_p.h>
#include <qpa/qplatformintegrationplugin.h>

#include <QCoreApplication>
#include <QOpenGLContext>

#include <memory>

namespace {

class AlwaysOnAccessibility : public QPlatformAccessibility
{
public:
    AlwaysOnAccessibility() { setActive(true); }
};

// Everything as offscreen does it, but for the accessibility layer.
class AccessibleOffscreenIntegration : public QPlatformIntegration
{
public:
    AccessibleOffscreenIntegration(QPlatformIntegration *inner)
        : m_inner(inner)
    {
    }

    bool hasCapability(Capability cap) const override { return m_inner->hasCapability(cap); }
    QPlatformPixmap *createPlatformPixmap(QPlatformPixmap::PixelType type) const override
    {
        return m_inner->createPlatformPixmap(type);
    }
    QPlatformWindow *createPlatformWindow(QWindow *window) const override { return m_inner->createPlatformWindow(window); }
    QPlatformBackingStore *createPlatformBackingStore(QWindow *window) const override
    {
        return m_inner->createPlatformBackingStore(window);
    }
    QPlatformOpenGLContext *createPlatformOpenGLContext(QOpenGLContext *context) const override
    {
        return m_inner->createPlatformOpenGLContext(context);
    }
    QPlatformOffscreenSurface *createPlatformOffscreenSurface(QOffscreenSurface *surface) const override
    {
        return m_inner->createPlatformOffscreenSurface(surface);
    }
    QAbstractEventDispatcher *createEventDispatcher() const override { return m_inner->createEventDispatcher(); }
    void initialize() override { m_inner->initialize(); }
    void destroy() override { m_inner->destroy(); }
    QPlatformFontDatabase *fontDatabase() const override { return m_inner->fontDatabase(); }
    QPlatformClipboard *clipboard() const override { return m_inner->clipboard(); }
    QPlatformDrag *drag() const override { return m_inner->drag(); }
    QPlatformInputContext *inputContext() const override { return m_inner->inputContext(); }
    QPlatformAccessibility *accessibility() const override { return &m_accessibility; }
    QPlatformNativeInterface *nativeInterface() const override { return m_inner->nativeInterface(); }
    QPlatformServices *services() const override { return m_inner->services(); }
    QVariant styleHint(StyleHint hint) const override { return m_inner->styleHint(hint); }
    Qt::KeyboardModifiers queryKeyboardModifiers() const override { return m_inner->queryKeyboardModifiers(); }
    QStringList themeNames() const override { return m_inner->themeNames(); }
    QPlatformTheme *createPlatformTheme(const QString &name) const override { return m_inner->createPlatformTheme(name); }
    void sync() override { m_inner->sync(); }

private:
    std::unique_ptr<QPlatformIntegration> m_inner;
    mutable AlwaysOnAccessibility m_accessibility;
};

class AccessibleOffscreenPlugin : public QPlatformIntegrationPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformIntegrationFactoryInterface_iid FILE "accessibleoffscreen.json")

public:
    QPlatformIntegration *create(const QString &, const QStringList &paramList, int &argc, char **argv) override
    {
        QPlatformIntegration *inner = QPlatformIntegrationFactory::create(QStringLiteral("offscreen"), paramList, argc, argv);
        return inner ? new AccessibleOffscreenIntegration(inner) : nullptr;
    }
};

} // namespace

#include "AccessibleOffscreenPlugin.moc"
