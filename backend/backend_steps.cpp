// Steps of the record that are not weather, told to the history store as
// they happen, before the first sample they touch: the USB barometer
// calibrated afresh (its new offset less the one it last reported) and
// another instrument giving the pressure (the two readings apart, taken
// together).
#include "backend.h"

#include "datasource.h"

#include <algorithm>
#include <cmath>
#include <mutex>

void BackEnd::expectCalibration(double offset, double slope)
{
    // A new slope bends the readings by the pressure: no one size.
    const double wholeSlope = std::floor(slope + 0.5);
    m_calibration.state = Calibration::Sent;
    m_calibration.size = wholeSlope == m_knownSlope ? offset - m_knownOffset : std::nan("");
    m_calibration.offset = offset;
    m_calibration.slope = wholeSlope;
}

void BackEnd::slot_calibrationAnswered(bool ok)
{
    if (m_calibration.state != Calibration::Sent)
        return;
    if (!ok) {
        m_calibration.state = Calibration::Idle;
        return;
    }
    m_calibration.state = Calibration::Accepted;
    std::lock_guard<std::mutex> lock(m_sourceMutex);
    m_calibration.storesAtAnswer = m_pressureStores[SourceSerial];
}

bool BackEnd::noteSteps(int source, const double fresh[SourceCount], const quint64 stores[SourceCount], bool sampled)
{
    bool settled = true;
    if (sampled) {
        settled = noteCalibration(source, stores[SourceSerial]);
        if (settled)
            noteSourceChange(source, fresh);
    }
    std::copy(fresh, fresh + SourceCount, m_lastFresh);
    return settled;
}

bool BackEnd::noteCalibration(int source, quint64 serialStores)
{
    if (m_calibration.state != Calibration::Accepted)
        return true;
    const bool serial = source == SourceSerial;
    // The barometer's OK and its readings cross threads apart: a reading
    // stored before the OK came here may be of either calibration. The
    // first one stored after it is of the new.
    if (serial && serialStores == m_calibration.storesAtAnswer)
        return false;
    // Only where the record goes on from the barometer: another instrument
    // taking over is measured as such.
    if (serial && m_lastSampleSource == SourceSerial && g_dataSource)
        g_dataSource->noteStep(StepLog::Calibration, m_calibration.size);
    m_knownOffset = m_calibration.offset;
    m_knownSlope = m_calibration.slope;
    m_calibration.state = Calibration::Idle;
    return true;
}

void BackEnd::noteSourceChange(int source, const double fresh[SourceCount])
{
    const int last = m_lastSampleSource;
    m_lastSampleSource = source;
    if (last < 0 || last == source || !g_dataSource)
        return;
    // Both at this tick, or both at the last one; an instrument that takes
    // over after a gap has nothing to compare with.
    double size = std::nan("");
    if (fresh[last] > 0.0)
        size = fresh[source] - fresh[last];
    else if (m_lastFresh[last] > 0.0 && m_lastFresh[source] > 0.0)
        size = m_lastFresh[source] - m_lastFresh[last];
    g_dataSource->noteStep(StepLog::Source, size);
}
