#include "steplog.h"

StepLog::Lookback StepLog::lookBack(qint64 now, qint64 span) const
{
    Lookback lookback;
    lookback.instant = now - span;
    lookback.newerRuns = m_steps.size();
    int i = m_steps.size() - 1;
    for (; i >= 0; --i) {
        const Step &step = m_steps.at(i);
        // Within one run of stamps the steps come in order of time.
        if (step.time <= lookback.instant)
            break;
        if (step.kind != ClockSet || !step.known())
            continue;
        lookback.instant -= std::llround(step.size);
        lookback.newerRuns = i;
        // Set back: the stamps from the step's own on were written again.
        if (step.size < 0 && lookback.instant >= step.time)
            lookback.blind = true;
    }
    lookback.before = i;
    return lookback;
}

double StepLog::addedSince(const Lookback &lookback, qint64 rowTime, bool *unknown) const
{
    double added = 0.0;
    for (int i = m_steps.size() - 1; i >= 0; --i) {
        const Step &step = m_steps.at(i);
        const bool newerRun = i >= lookback.newerRuns;
        if (!newerRun && (step.kind == ClockSet || step.time <= rowTime))
            break;
        if (step.kind == ClockSet)
            continue;
        if (step.known())
            added += step.size;
        else
            *unknown = true;
    }
    return added;
}

QVector<qint64> StepLog::expire(qint64 now, qint64 span)
{
    const int before = lookBack(now, span).before;
    QVector<qint64> ids;
    for (int i = 0; i <= before; ++i)
        ids.append(m_steps.at(i).id);
    m_steps.remove(0, before + 1);
    return ids;
}
