#pragma once

#include <QObject>
#include <QString>

class QQmlEngine;
class QTranslator;

// Switches the running program between English and French: the translators,
// the default locale (decimal separators, month names) and a retranslation of
// every text the QML engine shows.
class TranslationHandler : public QObject
{
    Q_OBJECT

public:
    explicit TranslationHandler(QQmlEngine *engine);

    Q_INVOKABLE QString getCurrentLanguage();
    Q_INVOKABLE void selectLanguage(QString language);

signals:
    void languageChanged();

private:
    void removeTranslators();

    QTranslator *m_translatorApp;
    QTranslator *m_translatorQt;
    QTranslator *m_translatorQtBase;
    QString m_currentLanguage;
    QQmlEngine *m_engine;
};
