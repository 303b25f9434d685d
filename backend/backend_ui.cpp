// Help, privacy text and the small services the screens ask for.
#include "backend.h"

#include "settingsstore.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QSerialPortInfo>
#include <QWindow>

namespace {
QString readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

int advanceOf(const QString &text)
{
    return QFontMetrics(QApplication::font()).horizontalAdvance(text);
}
} // namespace

void BackEnd::watchWindow(QObject *root)
{
    auto *window = qobject_cast<QWindow *>(root);
    if (!window)
        return;
    window->installEventFilter(this);
    m_windowExposed = window->isExposed();
    emit windowExposedChanged();
}

// The window system tells a window when it is shown or hidden by an expose
// event, and Qt keeps the answer before it delivers it.
bool BackEnd::eventFilter(QObject *watched, QEvent *event)
{
    auto *window = event->type() == QEvent::Expose ? qobject_cast<QWindow *>(watched) : nullptr;
    if (window) {
        const bool exposed = window->isExposed();
        if (exposed != m_windowExposed) {
            m_windowExposed = exposed;
            emit windowExposedChanged();
        }
    }
    return QObject::eventFilter(watched, event);
}

QString BackEnd::getVersion()
{
    return QString::fromLatin1(QUILLMERE_VERSION);
}

QString BackEnd::getHelpHtml()
{
    QString html = readResource(QStringLiteral(":/Help/English/DesktopHelp.htm"));
    html.replace(QStringLiteral("<img "), QStringLiteral("&nbsp;<img "));
    // One size step up; " large;" first so that small never ends as x-large.
    html.replace(QStringLiteral(" large;"), QStringLiteral(" x-large;"));
    html.replace(QStringLiteral(" small;"), QStringLiteral(" large;"));
    html.replace(QStringLiteral("src=\"./Quillmere Help_files/"), QStringLiteral("src=\"/Help/English/"));
    return html;
}

QString BackEnd::getPrivacyPolicy()
{
    const bool english = getSetting(QStringLiteral("language"), 0).toInt() == 0;
    QString html = readResource(english ? QStringLiteral(":/Help/English/quillmere_privacy_policy_en.html")
                                        : QStringLiteral(":/Help/French/quillmere_privacy_policy_fr.html"));
    html.replace(QStringLiteral("<img "), QStringLiteral("&nbsp;<img "));
    html.replace(QStringLiteral(" small;"), QStringLiteral(" medium;"));
    const bool englishNow = getSetting(QStringLiteral("language"), 0).toInt() == 0;
    html.replace(QStringLiteral("src=\""),
                 englishNow ? QStringLiteral("src=\"/Help/English/") : QStringLiteral("src=\"/Help/French/"));
    return html;
}

QUrl BackEnd::getHelpBaseUrl()
{
    return QUrl::fromLocalFile(m_basePath + QStringLiteral("help_files"));
}

QUrl BackEnd::getHelpUrl()
{
    if (getSetting(QStringLiteral("language"), 0).toInt() == 0)
        return QUrl::fromLocalFile(m_basePath + QStringLiteral("help_files/English/Quillmere_help_vQT.htm"));
    return QUrl::fromLocalFile(m_basePath + QStringLiteral("help_files/French/Quillmere_help_vQT_FRENCH.htm"));
}

int BackEnd::getColWidth()
{
    return advanceOf(QStringLiteral("this is the size of very big big big big column"));
}

int BackEnd::getHorizontalAdvance(QString string)
{
    return qMin(advanceOf(string), advanceOf(QStringLiteral("this is enough wide xxxxxxxxxxx")));
}

QStringList BackEnd::getSerialPorts()
{
    QStringList ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports << info.portName() + QLatin1Char(' ') + info.description();
    return ports;
}

qlonglong BackEnd::getCurrentTime()
{
    return Clock::currentSecsSinceEpoch();
}

bool BackEnd::isSystemDarkMode()
{
    return systemTheme() == 1;
}

void BackEnd::setPreviousTheme(int i)
{
    m_previousTheme = i;
}

// The platform queries of a program that also runs on phones; a desktop
// answers them with fixed values.
bool BackEnd::isPhone() { return false; }
void BackEnd::changeAlwaysOn() {}
bool BackEnd::checkPermissionPart1() { return true; }
bool BackEnd::checkPermissionPart2() { return true; }
bool BackEnd::checkPermissionPart3() { return true; }
bool BackEnd::askPermissionPart1() { return true; }
bool BackEnd::askPermissionPart2() { return true; }
bool BackEnd::askPermissionPart3() { return true; }

bool BackEnd::androidPermissionAlreadyAsked1()
{
    return getSetting(QStringLiteral("androidPermissionAsked1"), 0).toInt() == 1;
}

bool BackEnd::androidPermissionAlreadyAsked2()
{
    return getSetting(QStringLiteral("androidPermissionAsked2"), 0).toInt() == 1;
}

bool BackEnd::androidPermissionAlreadyAsked3()
{
    return getSetting(QStringLiteral("androidPermissionAsked3"), 0).toInt() == 1;
}
