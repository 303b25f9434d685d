#include "translationhandler.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QQmlEngine>
#include <QTranslator>
#include <QtDebug>

namespace {
// The program's catalogues: one a translator put in the data folder first,
// then those installed with the program, so that an installed Quillmere speaks
// French without copying anything, whatever the prefix: the program is
// <prefix>/lib/quillmere/quillmere, the catalogues <prefix>/share/quillmere/
// translations; the build tree has them one level up from build/app.
void loadOwnCatalogue(QTranslator *translator, const QString &file)
{
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString &folder : {QString(), program + QStringLiteral("/../../share/quillmere/translations"),
                                  program + QStringLiteral("/../share/quillmere/translations")}) {
        if (translator->load(file, folder))
            return;
    }
}
} // namespace

TranslationHandler::TranslationHandler(QQmlEngine *engine)
    : m_translatorApp(new QTranslator(this))
    , m_translatorQt(new QTranslator(this))
    , m_translatorQtBase(new QTranslator(this))
    , m_currentLanguage(QStringLiteral("none"))
    , m_engine(engine)
{
}

QString TranslationHandler::getCurrentLanguage()
{
    return m_currentLanguage;
}

void TranslationHandler::removeTranslators()
{
    if (m_currentLanguage == QLatin1String("none"))
        return;
    QCoreApplication::removeTranslator(m_translatorQtBase);
    QCoreApplication::removeTranslator(m_translatorQt);
    QCoreApplication::removeTranslator(m_translatorApp);
}

void TranslationHandler::selectLanguage(QString language)
{
    if (language == m_currentLanguage)
        return;

    if (language == QLatin1String("fr")) {
        removeTranslators();
        QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
        m_currentLanguage = QStringLiteral("fr");
        // A catalogue that is not there leaves its translator empty: the
        // texts then simply stay in English.
        loadOwnCatalogue(m_translatorApp, QStringLiteral("Quillmere_fr_FR.qm"));
        // Qt's own, where Qt keeps them: qt_fr.qm brings in qtbase_fr,
        // qtdeclarative_fr, qtmultimedia_fr... from the same folder, and
        // fails without them.
        const QString qtCatalogues = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
        m_translatorQt->load(QStringLiteral("qt_fr.qm"), qtCatalogues);
        m_translatorQtBase->load(QStringLiteral("qtbase_fr.qm"), qtCatalogues);
        qWarning() << "translator qtbase empty ?" << m_translatorQtBase->isEmpty();
        qWarning() << "translator qt empty ?" << m_translatorQt->isEmpty();
        qWarning() << "translator quillmere empty ?" << m_translatorApp->isEmpty();
        QCoreApplication::installTranslator(m_translatorQt);
        QCoreApplication::installTranslator(m_translatorQtBase);
        QCoreApplication::installTranslator(m_translatorApp);
        if (m_engine)
            m_engine->retranslate();
    } else if (language == QLatin1String("en")) {
        removeTranslators();
        m_currentLanguage = QStringLiteral("en");
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
        loadOwnCatalogue(m_translatorApp, QStringLiteral("Quillmere_en_US.qm"));
        QCoreApplication::installTranslator(m_translatorApp);
        if (m_engine)
            m_engine->retranslate();
    }
    emit languageChanged();
}
