// The barograph chart's scales: the pressure axis and the zoomed time window.
#include "chartscale.h"

#include "formatting.h"

#include <algorithm>
#include <cmath>

namespace {
// Fewer would not show how the glass moves; more would only crowd the plot
// (and cost the drawing of each sample).
constexpr int FewestLabels = 3;
constexpr int MostLabels = 8;
// The labels carry two decimals: no step finer than a hundredth, and none coarser than a range could need.
constexpr int FinestDecade = -2;
constexpr int CoarsestDecade = 7;
// Bounds come in hundredths, kept as binary fractions: 1013.2 / 0.1 is a hair above 10132.
constexpr double Slack = 1e-9;

// count x multiple x 10^decade, rounded once: 10126 steps of 0.1 are 1012.6, not 1012.6000000000001.
double whole(double count, double multiple, int decade)
{
    const double power = std::pow(10.0, std::abs(decade));
    return decade < 0 ? count * multiple / power : count * multiple * power;
}
} // namespace

namespace ChartScale {

double minimumRange(int unit)
{
    switch (unit) {
    case Formatting::UnitKpa:
        return 0.1;
    case Formatting::UnitInHg:
        return 0.03;
    case Formatting::UnitMmHg:
        return 0.75;
    default:
        return 1.0;
    }
}

Axis pressureAxis(double low, double high, int unit, double plotHeight, double labelRoom)
{
    if (!std::isfinite(low) || !std::isfinite(high))
        return {};
    if (high < low)
        std::swap(low, high);
    const double middle = (low + high) / 2.0;
    const double half = std::max(high - low, minimumRange(unit)) / 2.0;
    const int fit = labelRoom > 0.0 ? int(plotHeight / labelRoom) : FewestLabels;
    const int most = std::clamp(fit, FewestLabels, MostLabels);
    Axis axis;
    // The finest step is about a tenth of the unit's minimum range: 0.1 hPa or mmHg, 0.01 kPa or inHg.
    const int finest = std::max(FinestDecade, int(std::lround(std::log10(minimumRange(unit) / 10.0))));
    for (int decade = finest; decade <= CoarsestDecade; ++decade) {
        for (const double multiple : {1.0, 2.0, 5.0}) {
            const double step = whole(1.0, multiple, decade);
            double first = std::floor((middle - half) / step + Slack);
            double last = std::ceil((middle + half) / step - Slack);
            // A range of one step gets a third label on the side nearer the middle of the values.
            if (last - first < FewestLabels - 1) {
                if (middle - first * step > last * step - middle)
                    last += 1.0;
                else
                    first -= 1.0;
            }
            axis = {whole(first, multiple, decade), whole(last, multiple, decade), step};
            if (last - first + 1.0 <= most)
                return axis;
        }
    }
    return axis;
}

QPointF window(double min, double max, double oldest, double newest)
{
    const double width = max - min;
    const double right = std::max(std::min(max, newest), std::min(newest, oldest + width));
    return QPointF(right - width, right);
}

} // namespace ChartScale
