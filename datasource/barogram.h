#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QPointF>
#include <QString>
#include <QVector>

class QPainter;

// The week's drum chart of a paper barograph, for the logbook: a column a
// day from midnight to midnight with a thin line every two hours, a line
// every unit of pressure and a heavier one every ten (hundredths and tenths
// of inHg, tenths and whole kPa), the pressure trace, where storm warnings
// began, and the boat's position at noon under each day. One page, painted
// alike into an A4 PDF and a PNG image.
class Barogram
{
    Q_DECLARE_TR_FUNCTIONS(Barogram)

public:
    struct Day
    {
        QDate date;
        qint64 start = 0; // its midnight, seconds since the epoch
        QString noonPosition;
    };

    QVector<Day> days; // in order; the chart ends at `end`
    qint64 end = 0;
    // Runs of (seconds since the epoch, pressure in `unit`), broken where hours are missing.
    QVector<QVector<QPointF>> trace;
    QVector<qint64> alarms;
    int unit = 0; // the unitPre index
    bool stationLevel = false;
    QString zone; // "UTC", or the computer's offset from it
    bool monthFirst = false;

    // "Barogram from <first day> to <last day>", in the language of the screens.
    QString title() const;
    // Both files, or the reason why not (the path and the system's error).
    bool write(const QString &pdfPath, const QString &pngPath, QString *error) const;
    void paint(QPainter &painter) const;

private:
    struct Scale
    {
        double minor = 1.0;
        double major = 10.0;
        double lower = 990.0;
        double upper = 1030.0;
    };
    Scale scale() const;
};
