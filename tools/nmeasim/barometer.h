#pragma once

#include <QByteArray>
#include <QString>

// The simulated boat: a depression passing over some hours, a yacht sailing
// a steady course, and a USB barometer that applies its own offset and slope
// and answers the $PWEGB commands.
class Barometer
{
public:
    enum Kind { Mda, Xdr, Mmb };

    enum Refusal { RefuseNone, RefuseNext, RefuseEvery };

    // Station pressure in hPa the sensor reads at simulated second t.
    double rawPressure(double t) const;
    // What the barometer reports once its calibration is applied.
    double reportedPressure(double t) const;

    QByteArray pressureSentence(Kind kind, double t) const;
    static QByteArray rmcSentence(double t, qint64 startEpoch);

    // Where the yacht is at simulated second t.
    struct Track
    {
        double lat = 0.0;    // degrees, north positive
        double lon = 0.0;    // degrees, east positive
        double course = 0.0; // degrees true
        double knots = 0.0;
    };
    static Track track(double t);

    // The answer to one command line from the host, empty if it needs none.
    QByteArray answer(const QByteArray &command, double t);

    static QByteArray withChecksum(const QByteArray &text);

    double offset = 0.0; // hPa added to the sensor's reading
    double slope = 0.0;  // hPa per bar of departure from the reference
    double steadyPressure = 0.0; // hPa the sensor holds; 0: the passing depression
    Refusal refuse = RefuseNone; // answer commands with $PWEGB,ERR
    static constexpr double SlopeReference = 1000.0;
};
