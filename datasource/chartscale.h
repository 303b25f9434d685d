#pragma once

#include <QPointF>

// The barograph chart's scales, as pure functions: the pressure axis shown for a range of values, and the part of the
// time axis a zoomed chart may show. The screen holds the layout; these hold the rules and their numbers.
namespace ChartScale {

// The smallest pressure range the chart shows: 1 hPa in the unit of unitPre (1 mb or hPa, 0.1 kPa, 0.03 inHg,
// 0.75 mmHg), so that a change of a few hundredths does not look like a cliff.
double minimumRange(int unit);

struct Axis
{
    double min = 0.0;
    double max = 0.0;
    double step = 0.0; // the ticks lie on its whole multiples
};

// The axis for the values low..high on a plot of plotHeight pixels, where a label needs labelRoom pixels not to be
// elided: the range widened to the unit's minimum about the middle of the values, then out to whole steps of 1, 2 or
// 5 times a power of ten, the finest step whose labels all fit; never fewer than three labels, nor more than eight.
Axis pressureAxis(double low, double high, int unit, double plotHeight, double labelRoom);

// The time window min..max moved to lie within oldest..newest, its width kept; a window wider than the samples
// keeps its right edge on the newest, so that the chart is never panned past now.
QPointF window(double min, double max, double oldest, double newest);

} // namespace ChartScale
