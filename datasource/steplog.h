#pragma once

#include <QVector>
#include <QtGlobal>
#include <cmath>

// Steps in the record that are not weather: the USB barometer calibrated
// afresh, another instrument giving the pressure, the computer's clock set
// forward or back. The history rows stay as they were written; looking back
// over the record goes through these steps instead, so that a step of known
// size neither fires, clears nor bends anything.
//
// Each step carries the time of the first sample after it, on the clock of
// that moment: a clock step starts a new run of stamps, and the steps before
// it keep the stamps of the run before.
class StepLog
{
public:
    enum Kind { Calibration, Source, ClockSet };
    struct Step
    {
        qint64 id = 0; // its row in the store
        qint64 time = 0;
        Kind kind = Source;
        // hPa the readings moved by (seconds the clock moved by); not a
        // number when nobody knows.
        double size = std::nan("");
        bool known() const { return !std::isnan(size); }
    };

    // Where on the record's stamps the instant `span` seconds before `now`
    // lies. Blind when the clock was set back over it: those stamps were
    // written again since, with later readings.
    struct Lookback
    {
        qint64 instant = 0;
        bool blind = false;
        int newerRuns = 0; // steps from this index on lie in runs of stamps after the instant's
        int before = -1; // the newest step that lies before the instant
    };
    Lookback lookBack(qint64 now, qint64 span) const;

    // What the steps after the row stamped rowTime (found through the
    // lookback) added to the readings since; unknown is set when one of them
    // is of unknown size.
    double addedSince(const Lookback &lookback, qint64 rowTime, bool *unknown) const;

    void append(const Step &step) { m_steps.append(step); }
    // Forgets the steps that lie before the instant `span` back; their ids.
    QVector<qint64> expire(qint64 now, qint64 span);
    const QVector<Step> &steps() const { return m_steps; }
    void clear() { m_steps.clear(); }

private:
    QVector<Step> m_steps; // oldest first
};
