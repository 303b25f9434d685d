#pragma once

#include <QGeoPositionInfo>
#include <mutex>
#include <QObject>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QPointer>
#include <QPressureSensor>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariant>
#include <limits>
#include <memory>

#include "alarmnotifier.h"
#include "clock.h"
#include "nmeaconsumer.h"
#include "stormwarning.h"

class QGeoPositionInfoSource;
class QQmlApplicationEngine;
class QThread;
class BackEndLink;
class NmeaReceiver;
class NmeaSenderUdp;
class SettingsStore;

// A pressure value that is not a measurement: no source, or a source that
// withdrew itself.
constexpr double NO_PRESSURE = -2000.0;
// A source's pressure counts as current for this long after it was stored.
constexpr qint64 PRESSURE_FRESH_MS = 60000;

// Where a pressure or a fix came from. Wherever sources are tried one after
// another the order is this one and the first that qualifies wins.
// NMEA 2000 ranks after the four NMEA 0183 and platform sources, and a
// Signal K server, which gathers what the others may already give, last.
enum SourceIndex { SourceInternal = 0, SourceSerial = 1, SourceTcp = 2, SourceUdp = 3, SourceN2k = 4, SourceSignalK = 5 };
constexpr int SourceCount = 6;
// A pressure outside these is no weather on earth, at sea level or aloft.
constexpr double MINIMUM_PRESSURE = 600.0;
constexpr double MAXIMUM_PRESSURE = 1200.0;

// The program version written into the settings at every start.
extern const char *const QUILLMERE_VERSION;

class BackEnd : public QObject, public NmeaConsumer
{
    Q_OBJECT
    // The tendency in words and the alarm, fed by the sample cycle.
    Q_PROPERTY(StormWarning *stormWarning READ stormWarning CONSTANT)
    // The alarm off the screen: the desktop's notification, the window's
    // call for attention, the chime's sound output.
    Q_PROPERTY(AlarmNotifier *alarmNotifier READ alarmNotifier CONSTANT)
    // Whether anyone can see the main window: false while it is minimised,
    // unmapped or hidden. The screens draw nothing new meanwhile and catch
    // up when it shows again.
    Q_PROPERTY(bool windowExposed READ isWindowExposed NOTIFY windowExposedChanged)
    // Where the pressure and the position on screen come from, with their
    // age once it counts ("Pressure: TCP · 12 s"), and whether the pressure
    // is old enough to show greyed. Brought up to date at each sample.
    Q_PROPERTY(QString origins READ origins NOTIFY originsChanged)
    Q_PROPERTY(bool pressureAged READ pressureAged NOTIFY originsChanged)

public:
    explicit BackEnd(QQmlApplicationEngine *engine = nullptr);
    ~BackEnd() override;

    // --- settings (QML) ---
    Q_INVOKABLE double getCurrentPressure();
    Q_INVOKABLE QVariant getSetting(QString key, QVariant def);
    Q_INVOKABLE void setSetting(QString key, QVariant val);
    Q_INVOKABLE QString getFormatedPressure(int unit, double offset, int levelType, double levelValue);
    Q_INVOKABLE void pauseService(bool b);
    Q_INVOKABLE QString getVersion();
    Q_INVOKABLE QString getHelpHtml();
    Q_INVOKABLE QUrl getHelpBaseUrl();
    Q_INVOKABLE QUrl getHelpUrl();
    Q_INVOKABLE bool isSystemDarkMode();
    Q_INVOKABLE void setPreviousTheme(int i);
    Q_INVOKABLE bool isPhone();
    Q_INVOKABLE double convertToHpa(double value);
    Q_INVOKABLE double convertToOther(double value);
    Q_INVOKABLE void changeAlwaysOn();
    Q_INVOKABLE bool checkPermissionPart1();
    Q_INVOKABLE bool checkPermissionPart2();
    Q_INVOKABLE bool checkPermissionPart3();
    Q_INVOKABLE bool askPermissionPart1();
    Q_INVOKABLE bool askPermissionPart2();
    Q_INVOKABLE bool askPermissionPart3();
    Q_INVOKABLE void startLocationServices();
    Q_INVOKABLE void syncSettings();
    Q_INVOKABLE bool androidPermissionAlreadyAsked1();
    Q_INVOKABLE bool androidPermissionAlreadyAsked2();
    Q_INVOKABLE bool androidPermissionAlreadyAsked3();
    Q_INVOKABLE QString getPrivacyPolicy();
    Q_INVOKABLE int getColWidth();
    Q_INVOKABLE QStringList getSerialPorts();
    Q_INVOKABLE int getHorizontalAdvance(QString string);
    Q_INVOKABLE void startNmea();
    Q_INVOKABLE QString getPressureSource();
    Q_INVOKABLE QString getPressureUnit();
    Q_INVOKABLE void calibrateBarometer(double offset, double slope, double pressure);
    Q_INVOKABLE qlonglong getCurrentTime();
    Q_INVOKABLE void clearAllFix();
    Q_INVOKABLE QString getFormatedPressureMb(double m_pressure);
    Q_INVOKABLE void requestCurrentCalibration();
    Q_INVOKABLE void resetBarometer();
    Q_INVOKABLE double getSerialPressure();
    // Whether any source could give a pressure: the platform's sensor, or an input switched on (a serial one with
    // its port; NMEA 2000 and Signal K as well).
    Q_INVOKABLE bool isPressureSourceConfigured();

    // --- for the program's other classes (also called from the NMEA worker) ---
    // A source's position with its own course and speed.
    struct Fix
    {
        bool valid = false;
        QPointF position;
        double cog = 0.0;
        double sog = 0.0;
    };
    void setPressure(double pressure, int source) override;
    // A current pressure that the sample cycle takes (not one beyond reason).
    bool hasCurrentPressure();
    // At least one instrument is set up to give the pressure: the platform
    // sensor present, the serial input with a port, the TCP, UDP, NMEA 2000
    // or Signal K input.
    bool hasPressureSource();
    // One turn of the sample cycle with the sample clock at `tick`: what
    // every timer tick does after the theme. The tick's tests and benchmarks
    // turn it themselves. True when a sample was recorded.
    bool takeSample(int tick);
    void setFix(const QPointF &position, double sog, double cog, int source) override;
    void clearFix(int source) override;
    QPointF currentPosition();
    QPair<double, double> currentCourseSpeed(); // (COG, SOG) of the first fix
    // The fix of the first source that has one, copied under one lock.
    Fix firstFix() { return fixBefore(SourceCount); }
    // What the relay may send: the current pressure and the first fix among
    // the sources before Signal K. A Signal K server fed by the relay hands
    // its values back, and a dead barometer's last value would stay current
    // for ever.
    double relayPressure() { return pressureBefore(SourceSignalK); }
    Fix relayFix() { return fixBefore(SourceSignalK); }
    // Since a source's pressure was stored, in ms; -1 when it has none.
    qint64 pressureAge(int source) const;
    QString origins() const { return m_origins; }
    bool pressureAged() const { return m_pressureAged; }
    SettingsStore *settings() const { return m_settings; }
    QString basePath() const { return m_basePath; }
    StormWarning *stormWarning() const { return m_stormWarning; }
    AlarmNotifier *alarmNotifier() const { return m_alarmNotifier; }
    bool isWindowExposed() const { return m_windowExposed; }
    // The receiver now running, if any (for tests and diagnostics).
    NmeaReceiver *receiver() const { return m_receiver; }
    // The USB barometer's commands go to this worker from now on, and its
    // replies come back from it: startNmea does it for every new worker.
    void routeCalibration(NmeaReceiver *receiver);

signals:
    void sendCalibration(QString message);
    void calibrationValuesReceived(double offset, double slope, double slopeRef, double pressure);
    void saveWindowSize();
    void dataUpdated(QString date, QString position, QString cogsog, QString pressure);
    void systemThemeChanged(int theme);
    void showFirstAuthorization();
    void showSecondAuthorization();
    void calibrationStatus(bool status);
    void noPressureAvailable();
    void operationTimeout();
    void windowExposedChanged();
    void originsChanged();

public slots:
    void slot_timerData();
    void slot_internalPositionUpdated(QGeoPositionInfo g);
    void slot_pressureReading();
    void slot_calibrationValues(QString message);
    // The barometer's answer to a command: stops the time-out, then passed on
    // as calibrationStatus.
    void slot_calibrationStatus(bool status);

private slots:
    void slot_calibrationAnswered(bool ok);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchWindow(QObject *root);
    // The fresh reading of each source (NO_PRESSURE if none) and the count of
    // readings each stored, copied under one lock; the current source or -1.
    int readSources(double fresh[SourceCount], quint64 stores[SourceCount]);
    // Tells the history store of a step that is not weather before the
    // sample; false while the sample must wait for the barometer's new
    // calibration.
    bool noteSteps(int source, const double fresh[SourceCount], const quint64 stores[SourceCount], bool sampled);
    bool noteCalibration(int source, quint64 serialStores);
    void noteSourceChange(int source, const double fresh[SourceCount]);
    void expectCalibration(double offset, double slope);
    int systemTheme() const;
    bool isFresh(int source) const; // m_sourceMutex held
    int firstFresh(int end) const;   // the first fresh source before end, or -1; m_sourceMutex held
    int firstFixed(int end) const;   // the same for fixes
    double pressureBefore(int end);
    Fix fixBefore(int end);
    void updateOrigins(int pressureSource); // the sampled pressure's source, or -1
    QString originText(int source, qint64 ageMs) const;
    void startPressureSensor();
    void relayInternalPressure();
    void releaseSender();
    void retireNmea();
    void stopNmea();
    void sendCommand(const QString &sentence);

    QTimer m_timerData;
    QTimer m_timerSensor;
    QTimer m_timerOperation;
    SettingsStore *m_settings = nullptr;

    // Per-source state, written by the NMEA worker and read by the sample
    // cycle: always accessed under m_sourceMutex, values copied in and out.
    mutable std::mutex m_sourceMutex;
    double m_pressure[SourceCount];
    AgeTimer m_pressureAge[SourceCount];
    quint64 m_pressureStores[SourceCount] = {};
    bool m_sensorPresent = false;

    // Steps of the record: the source of the last sample, the fresh readings
    // of the last tick, the USB barometer's calibration as it last reported
    // it and the one under way.
    int m_lastSampleSource = -1;
    double m_lastFresh[SourceCount];
    double m_knownOffset;
    double m_knownSlope;
    struct Calibration
    {
        enum State { Idle, Sent, Accepted } state = Idle;
        double size = 0.0;
        double offset = 0.0;
        double slope = 0.0;
        quint64 storesAtAnswer = 0; // serial readings stored before the barometer's OK came here
    } m_calibration;

    int m_tick = 768;
    qint64 m_lastSampleSecond = std::numeric_limits<qint64>::min(); // wall clock of the last sample recorded
    QSet<QString> m_doubleKeys;
    QSet<QString> m_stringKeys;
    QQmlApplicationEngine *m_engine = nullptr;
    bool m_windowExposed = true;
    bool m_fix[SourceCount];
    QPointF m_position[SourceCount];
    double m_cog[SourceCount];
    double m_sog[SourceCount];
    AgeTimer m_fixAge[SourceCount];
    QString m_origins;
    bool m_pressureAged = false;
    QGeoPositionInfoSource *m_positionSource = nullptr;
    QPressureSensor m_sensor;
    NmeaSenderUdp *m_senderUdp = nullptr;
    QString m_basePath = QStringLiteral("./");
    StormWarning *m_stormWarning = nullptr;
    AlarmNotifier *m_alarmNotifier = nullptr;
    int m_previousTheme = -1;
    NmeaReceiver *m_receiver = nullptr;
    QThread *m_receiverThread = nullptr;
    // The way in of the current worker, or of the last one, closed.
    std::shared_ptr<BackEndLink> m_link;
    // Replaced workers still winding down in their threads.
    QList<QPointer<QThread>> m_windingDown;
};

extern BackEnd *g_backEnd;
