#pragma once

// The program's window as the screen tests drive it: the real main.qml with the three context properties, over a real
// BackEnd and DataSource in a temporary working directory.

#include "backend.h"
#include "datasource.h"
#include "renderer.h"
#include "testsupport.h"
#include "translationhandler.h"

#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

class ScreenHarness
{
public:
    static void registerTypes()
    {
        qmlRegisterType<BackEnd>("backend", 1, 0, "BackEnd");
        QQuickStyle::setStyle(QStringLiteral("Material"));
        Renderer::choose(); // drawn as the program draws
    }

    // With `freshDirectory` false, in the current directory: a second start finds what the first stored.
    // A `language` ("en", "fr") is chosen, with the catalogues at hand, before the window loads.
    explicit ScreenHarness(const QVariantMap &settings = {}, bool freshDirectory = true,
                           const QString &language = QString())
    {
        if (freshDirectory)
            m_dir = std::make_unique<TestSupport::TempWorkDir>();
        QVariantMap all = TestSupport::quietSettings();
        all.insert(settings);
        TestSupport::writeSettings(all);
        m_engine = std::make_unique<QQmlApplicationEngine>();
        Renderer::adapt(m_engine.get());
        m_translate = std::make_unique<TranslationHandler>(m_engine.get());
        m_engine->rootContext()->setContextProperty(QStringLiteral("translateHandler"), m_translate.get());
        if (!language.isEmpty()) {
            for (const char *name : {"Quillmere_fr_FR.qm", "Quillmere_en_US.qm"})
                QFile::copy(QStringLiteral(QUILLMERE_BIN_DIR "/translations/") + QLatin1String(name), QLatin1String(name));
            m_translate->selectLanguage(language);
        }
        m_engine->rootContext()->setContextProperty(QStringLiteral("backend"), new BackEnd(m_engine.get()));
        m_engine->rootContext()->setContextProperty(QStringLiteral("dataSource"), g_dataSource = new DataSource());
        m_engine->load(QUrl(QStringLiteral("qrc:/main.qml")));
    }

    // The program's order: the store, the back end (the window stores its geometry), the screens.
    ~ScreenHarness()
    {
        // As the program quits: the screen shown leaves while the back end is there.
        if (QQuickWindow *w = window())
            QMetaObject::invokeMethod(w, "leaveScreen");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete g_dataSource;
        g_dataSource = nullptr;
        delete g_backEnd;
        g_backEnd = nullptr;
        m_engine.reset();
    }

    QQuickWindow *window() const
    {
        const auto roots = m_engine->rootObjects();
        return roots.isEmpty() ? nullptr : qobject_cast<QQuickWindow *>(roots.first());
    }

    template <typename T = QObject>
    T *find(const QString &objectName) const
    {
        return window() ? window()->findChild<T *>(objectName) : nullptr;
    }

    // By the item tree, which also holds what Repeaters create.
    static QQuickItem *findItem(QQuickItem *root, const QString &objectName)
    {
        if (!root || root->objectName() == objectName)
            return root;
        for (QQuickItem *child : root->childItems()) {
            if (QQuickItem *found = findItem(child, objectName))
                return found;
        }
        return nullptr;
    }

    bool waitExposed() const { return window() && QTest::qWaitForWindowExposed(window()); }

    void click(QQuickItem *item, QPointF at = QPointF(-1, -1)) const
    {
        if (at.x() < 0)
            at = QPointF(item->width() / 2, item->height() / 2);
        QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, item->mapToScene(at).toPoint());
    }

    // The modal dialog the screen opened, once it is up and active as a user
    // meets it: on a busy machine it is listed before it takes keys and clicks.
    template <typename T>
    static T *activeDialog()
    {
        T *dialog = nullptr;
        for (int i = 0; i < 100 && !dialog; ++i) {
            dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            if (!dialog)
                QTest::qWait(50);
        }
        return dialog && QTest::qWaitForWindowActive(dialog) ? dialog : nullptr;
    }

    TranslationHandler *translateHandler() const { return m_translate.get(); }

    // QML diagnostics among the collected lines (errors, failed bindings).
    static QStringList qmlProblems(const TestSupport::MessageLog &log)
    {
        return log.lines().filter(QRegularExpression(
            QStringLiteral("qrc:/|QQmlExpression|Binding loop|TypeError|ReferenceError")));
    }

private:
    std::unique_ptr<TestSupport::TempWorkDir> m_dir;
    std::unique_ptr<QQmlApplicationEngine> m_engine;
    std::unique_ptr<TranslationHandler> m_translate;
};
