#include "backend.h"
#include "clock.h"
#include "commandline.h"
#include "datasource.h"
#include "renderer.h"
#include "singleinstance.h"
#include "translationhandler.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickStyle>
#include <QQuickView>
#include <QSettings>
#include <QSocketNotifier>
#include <QtDebug>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// SIGINT and SIGTERM end the event loop like closing the window does, so a
// computer that powers off still gets the settings written and the history
// compacted. The handler only writes a byte; the loop does the rest.
int s_signalPipe[2] = {-1, -1};
std::atomic<int> s_signals{0};

void onTerminationSignal(int signal)
{
    // A second one while the shutdown hangs (a worker stuck in a connection
    // attempt, a store on a stalled disk) ends the process at once. Only
    // write() and _exit() are safe here.
    if (s_signals.fetch_add(1) > 0) {
        static const char line[] = "second termination signal, quitting at once\n";
        [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, line, sizeof line - 1);
        ::_exit(128 + signal);
    }
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(s_signalPipe[0], &byte, 1);
}

void installTerminationHandlers(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(s_signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier]() {
        notifier->setEnabled(false);
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(s_signalPipe[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// The end of a run: the history closed, the NMEA workers given their bounded
// wind-down, the settings written (the back end's destructor), the data
// folder left to the next start. Then out at once with the event loop's
// status: a worker left behind, or one of Qt's own host name lookups behind a
// dead link, would hold the exit up for tens of seconds, and there is nothing
// left to save.
[[noreturn]] void shutDown(int status, SingleInstance &instance)
{
    delete g_dataSource;
    g_dataSource = nullptr;
    delete g_backEnd;
    g_backEnd = nullptr;
    instance.release();
    std::fflush(nullptr);
    ::_exit(status);
}

// The maker's web domain; Qt keeps it, nothing reads it back.
const char *const OrganisationDomain = "brenlow.example";

} // namespace

int main(int argc, char *argv[])
{
    if (const int status = answerCommandLine(argc, argv); status >= 0)
        return status;
    qWarning() << "Quillmere" << "in main with" << argc << static_cast<void *>(argv);
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    installTerminationHandlers(app);
    SingleInstance instance;
    if (!instance.claim())
        return instance.handOver();
    // Soak runs and tests shorten every delay of the program (reconnections,
    // time-outs, the sample clock).
    Clock::readIntervalScale();
    QCoreApplication::setOrganizationName(QStringLiteral("Brenlow"));
    QCoreApplication::setOrganizationDomain(QString::fromLatin1(OrganisationDomain));
    // The desktop entry the menu starts us from, whose icon the window takes.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.brenlow.Quillmere"));

    auto *startup = new QSettings(QStringLiteral("./barograph.ini"), QSettings::IniFormat);
    QString language;
    const int storedLanguage = startup->value(QStringLiteral("language"), -1).toInt();
    if (storedLanguage == -1) {
        language = QLocale::system().language() == QLocale::French ? QStringLiteral("fr") : QStringLiteral("en");
        startup->setValue(QStringLiteral("language"), language == QLatin1String("en") ? 0 : 1);
    } else {
        language = storedLanguage == 0 ? QStringLiteral("en") : QStringLiteral("fr");
    }
    if (startup->value(QStringLiteral("formatMMDD"), -1).toInt() == -1)
        startup->setValue(QStringLiteral("formatMMDD"), language == QLatin1String("en") ? 0 : 1);
    delete startup;

    QFont font = QApplication::font();
    font.setCapitalization(QFont::MixedCase);
    QApplication::setFont(font);
    Renderer::choose();

    qmlRegisterType<BackEnd>("backend", 1, 0, "BackEnd");
    QQuickStyle::setStyle(QStringLiteral("Material"));

    QQmlApplicationEngine engine;
    Renderer::adapt(&engine);
    TranslationHandler translateHandler(&engine);
    engine.rootContext()->setContextProperty(QStringLiteral("translateHandler"), &translateHandler);
    translateHandler.selectLanguage(language);

    const QUrl mainUrl(QStringLiteral("qrc:/main.qml"));
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [mainUrl](QObject *obj, const QUrl &objUrl) {
            if (!obj && mainUrl == objUrl)
                QCoreApplication::exit(-1);
        },
        Qt::QueuedConnection);

    QQuickView view(&engine, nullptr);
    view.setResizeMode(QQuickView::SizeRootObjectToView);

    g_backEnd = new BackEnd(&engine);
    engine.rootContext()->setContextProperty(QStringLiteral("backend"), g_backEnd);
    g_dataSource = new DataSource(nullptr);
    engine.rootContext()->setContextProperty(QStringLiteral("dataSource"), g_dataSource);

    engine.load(mainUrl);
    instance.raiseOnRequest(&engine);
    shutDown(app.exec(), instance);
}
