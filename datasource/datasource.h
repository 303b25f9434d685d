#pragma once

#include <QList>
#include <QMutex>
#include <QObject>
#include <QPair>
#include <QPointF>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include "steplog.h"

#include <functional>

class Barogram;
class QTextStream;

namespace QtCharts {
class QAbstractSeries;
}

// The history store: "barograph.db" with its nine rolling tables and the
// hourly archive, the chart series, the tendency, the record list and the
// exports. Main thread only; `mutex` guards the tables against re-entry (see
// the notes on chartUpdated).
class DataSource : public QObject
{
    Q_OBJECT

public:
    explicit DataSource(QObject *parent = nullptr);
    ~DataSource() override;

    // The nine rolling tables, shortest span first, and the ticks between
    // their rows.
    static const QStringList tableNames;
    static const QList<int> tableIntervals;

    Q_INVOKABLE int getTrend();
    // The records of a table for the record list, newest first: maps with the
    // row's "key" (its TIME) and "desc" (rich text).
    Q_INVOKABLE QVariantList getTableContent(int tableNb);
    Q_INVOKABLE void removeKey(int tableNb, QString key);
    Q_INVOKABLE void emptyAllTables();
    Q_INVOKABLE void emptyOneTable(int n);
    Q_INVOKABLE QString getTrend3h();
    // An empty name writes export_<table>.csv or .gpx in the base directory;
    // otherwise the name is a local path.
    Q_INVOKABLE void exportCsv(int tableNb, QString fileName = QString());
    Q_INVOKABLE void exportGpx(int tableNb, QString fileName = QString());
    Q_INVOKABLE QPointF getValueAt(double timed, int chartNb, QVariant startDate);
    // The file URL of a save dialog; the format follows the extension, in any case. The program's own files
    // (barograph.db, barograph.ini in the data folder) are refused.
    Q_INVOKABLE void exportFile(int tableNb, QString fileName);
    // What a save dialog proposes: "<TABLE>_<yyyy-MM-dd>.<extension>", the day of the sailor's clock.
    Q_INVOKABLE QString getExportName(int tableNb, QString extension);
    // The local path of a save dialog's file URL, with the extension appended unless it ends with it (in any case):
    // the button pressed chooses the format, whatever the name typed.
    Q_INVOKABLE QString getExportPath(QString fileUrl, QString extension);
    // Where storm warnings began, as x positions of the chart of chartNb
    // measured from startDate (as getValueAt takes them), oldest first.
    // Takes no lock: the chart asks while it is being drawn.
    Q_INVOKABLE QVariantList getAlarmMarks(int chartNb, QVariant startDate);
    // Where the readings stepped for a reason other than weather (a
    // calibration, another instrument), in the same measure.
    Q_INVOKABLE QVariantList getStepMarks(int chartNb, QVariant startDate);
    // The chart's scales (see ChartScale), for the screen while it draws or zooms the chart: none takes the lock, and
    // the last two read the last chart built.
    // The pressure axis for the values low..high in the unit of unitPre: {"min", "max", "step"}.
    Q_INVOKABLE QVariantMap getPressureAxis(double low, double high, double plotHeight, double labelRoom);
    // The lowest (x) and the highest (y) pressure between the times xMin and xMax; (0, -1) when none lies there.
    Q_INVOKABLE QPointF getPressureInView(double xMin, double xMax);
    // The time window min..max, as (min, max), moved to lie within the samples.
    Q_INVOKABLE QPointF getViewWindow(double min, double max);

    // The long spans only: the hourly minimum and maximum of the chart last
    // built, as the lower and upper lines of a band (empty for the nine).
    // Takes no lock: the chart asks while it is being drawn.
    Q_INVOKABLE void updateBand(QtCharts::QAbstractSeries *lower, QtCharts::QAbstractSeries *upper);
    // The x of the oldest point of the chart last built (0 when it is empty):
    // where "All" begins. Takes no lock.
    Q_INVOKABLE double getChartStart() const;
    // The archive's hours as a logbook: a CSV file, oldest hour first. A file
    // URL or a local path; empty writes logbook.csv in the base directory.
    Q_INVOKABLE void exportLogbook(QString fileName);
    // The drum chart of the seven days ending with the day of lastDay
    // (seconds since the epoch, 0 for today) as an A4 PDF, and the same page
    // as a PNG beside it. A file URL or a local path.
    Q_INVOKABLE void exportBarogram(QString fileName, double lastDay);
    // The title of that week's barogram, for the screen that chooses it.
    Q_INVOKABLE QString getBarogramWeek(double lastDay);

    // One sample of the sample cycle; true when at least one row was written.
    bool recordSample(const int &tick, const double &lon, const double &lat, const double &cog,
                      const double &sog, const double &pressure);

    // The BARO3H rows that the three-hour tendency compares with at the last
    // recorded sample, each found only when it lies within 30 s of one hour
    // and of three hours back (through the clock's steps): the same pairing
    // as the trend and the three-hour text. Their pressures carry the known
    // steps since, so that they compare with the reading of now.
    struct TendencyReferences
    {
        qint64 sampleTime = 0;
        bool hour = false;
        double hourPressure = 0.0;
        bool hourTwoInstruments = false; // a step of unknown size since
        bool threeHours = false;
        double threeHoursPressure = 0.0;
        bool threeHoursTwoInstruments = false;
        // Without a row within 30 s of three hours back: whether the 6-hour
        // table has one within 10 minutes (a short hole in the record).
        bool nearThreeHours = false;
    };
    TendencyReferences tendencyReferences();

    // A step that is not weather lies between the last sample and the next
    // one: recordSample stamps it with that sample's time and keeps it, in
    // table STEPS, while the tendency looks back over it. Size in hPa, not a
    // number when unknown.
    void noteStep(StepLog::Kind kind, double size);

    // The log of storm warnings, table ALARMS: one row per alarm begun
    // (kind "fall", "rise", "low" or "lost"), its acknowledgement, its
    // snooze's end and its clearing time added as they come. A missing
    // change or pressure is written as NULL.
    void recordAlarm(qint64 start, const QString &kind, const QVariant &change, const QVariant &pressure);
    void acknowledgeAlarm(qint64 start, const QString &kind, qint64 when);
    void snoozeAlarm(qint64 start, const QString &kind, qint64 until);
    void clearAlarm(qint64 start, const QString &kind, qint64 when);
    // The newest row of each kind not cleared, newest first.
    struct OpenAlarm
    {
        qint64 start = 0;
        QString kind;
        bool acknowledged = false;
        qint64 snoozedUntil = 0;
    };
    QVector<OpenAlarm> openAlarms();
    // The TIME of the newest row of BARO30M or BARO3H, 0 when both are empty.
    qint64 newestSampleTime();

    static constexpr int TableCount = 9;
    static bool isValidTable(int tableNb) { return tableNb >= 0 && tableNb < TableCount; }
    // The archive in the record list and the exports, after the alarm log.
    static constexpr int ArchiveTable = 10;
    // The spans drawn from the archive: 30 days, 90 days, a year and all.
    static constexpr int FirstLongSpan = 9;
    static constexpr int LongSpanCount = 4;
    static bool isLongSpan(int chartNb) { return chartNb >= FirstLongSpan && chartNb < FirstLongSpan + LongSpanCount; }
    static bool isValidChart(int chartNb) { return isValidTable(chartNb) || isLongSpan(chartNb); }

    // The alarm log's index on the data screen, after the nine tables:
    // listed and exported as CSV, never edited.
    static constexpr int AlarmLog = 9;
    // The alarm log's rows for the list and the export, newest first.
    static const char *const AlarmLogQuery;
    static QString alarmKindText(const QString &kind);

    // Archiving at the hours' close; benchmarks turn it off to see its cost.
    void setArchiving(bool on) { archiving = on; }

signals:
    void chartUpdated(QVariant now, double min, double max, int seriesCount);
    // The archive gained hours (at an hour's close).
    void archiveUpdated();
    // After each export: whether the file was written, and where it went or why not, for the screen to say.
    void exportFinished(bool written, QString message);

public slots:
    void update(QtCharts::QAbstractSeries *series, int n);
    QString calcInfo(QPointF pt, int chartNb);
    void updateChart(int chartNb);

private:
    // The settings and the current pressure of the one BackEnd.
    static QVariant setting(const QString &key, const QVariant &defaultValue);
    static double currentPressure();
    // Pressures in hPa of a row read with "SELECT *", from the row's own OFS
    // and ELE, so that later changes of the settings leave history as it was.
    static double stationPressure(const QSqlQuery &row);
    static double seaLevelPressure(const QSqlQuery &row);
    static double displayPressure(const QSqlQuery &row, int preDisplay);
    // A measured pressure reduced with the row's own OFS and ELE: the
    // archive's hourly minimum and maximum.
    static double displayOf(double measured, const QSqlQuery &row, int preDisplay);

    // The rows of a table, or of the archive in the layout of a history row
    // (HOUR as TIME, MEAN as PRE, then MIN, MAX, SAMPLES); the seconds
    // between rows.
    static QString rowsOf(int n);
    static int rowInterval(int n);
    qint64 tableSpan(int tableNb) const;
    bool writeRow(int tableNb, double lon, double lat, double cog, double sog, double pressure,
                  double elevation, double offset);
    // Instants as x positions of the chart of chartNb, measured from reference.
    QVariantList marks(int chartNb, qint64 reference, const QList<qint64> &times) const;
    void readChart(int chartNb, double *min, double *max, qint64 *reference);
    QString infoText(QPointF pt, int chartNb);
    void updateTrend();
    void writeAheadLog();
    void syncLog();
    void createAlarmTable();
    void createArchive();
    bool closeArchiveHour();
    bool fillArchive(qint64 from, qint64 to);
    int archiveHours(int tableNb, qint64 from, qint64 to, bool covered);
    bool setAlarmColumn(const char *column, qint64 value, qint64 start, const QString &kind);
    QVariantList alarmLogContent();
    void writeAlarmCsv(QTextStream &out, QSqlQuery &rows) const;
    void createStepTable();
    void followClock(qint64 now);
    void deleteRowsLaterThan(qint64 now);
    void keepStep(StepLog::Kind kind, double size);
    void keepPendingSteps();
    QString recordText(const QSqlQuery &row, int preDisplay) const;
    // The archive's own line: the hour's extremes and how many samples it holds.
    QString hourText(const QSqlQuery &row, int preDisplay) const;
    void deleteAllRows(int tableNb);
    enum class ExportFormat { Csv, Gpx };
    void exportTable(int tableNb, const QString &fileName, ExportFormat format);
    bool writeExport(int tableNb, const QString &path, ExportFormat format);
    // Refuses the program's own files, writes, and says how it went (exportFinished).
    void finishExport(const QString &path, const std::function<bool()> &write);
    // The name of an exported table (the nine, the alarm log and the archive), or nothing.
    QString exportedTable(int tableNb) const;
    bool isOwnFile(const QString &path) const;
    // Written aside and put in place whole, then shown.
    bool saveText(const QString &path, const QString &text);
    // A file URL or a local path; an empty name is defaultName in the data folder.
    static QString exportPath(const QString &fileName, const QString &defaultName);
    static QString tendencyWords(double change);
    // The week's days, end, unit and zone; then its trace, alarms and noon positions, written out.
    Barogram barogramWeek(double lastDay);
    bool writeBarogram(Barogram barogram, const QString &pdf);
    void writeCsv(QTextStream &out, QSqlQuery &rows, bool archive) const;
    void writeLogbook(QTextStream &out, QSqlQuery &rows) const;
    void writeGpx(QTextStream &out, QSqlQuery &rows, const QString &table) const;
    // PRE of the BARO3H row nearest to `span` back, through the steps since
    // and with the known ones added, when one lies within 30 s.
    bool baro3hPressureBack(qint64 span, double *pressure, bool *unknownStep);

    QSqlDatabase db;
    QMutex mutex;
    QList<QVector<QPointF>> chartSeries;
    QVector<QPointF> bandLow;
    QVector<QPointF> bandHigh;
    int trendCode = -10;
    // The row an hour back that the last trend update found, if any.
    bool hourReference = false;
    double hourReferencePressure = 0.0;
    bool hourReferenceUnknownStep = false;
    qint64 lastSampleTime = 0;
    // The hour being recorded (its start), and whether it holds rows that
    // the archive still lacks.
    bool archiving = true;
    qint64 archiveHour = 0;
    bool archiveHourWritten = false;
    // The monotonic clock at the last sample, to tell a wall clock set
    // forward or back from time passing; 0 before the first of the run.
    qint64 lastSampleMs = 0;
    StepLog steps;
    QVector<QPair<StepLog::Kind, double>> pendingSteps;
};

extern DataSource *g_dataSource;
