#pragma once

#include <QtGlobal>
#include <cmath>
#include <limits>

// Fields of the exported files that the table exports and the logbook write alike.
namespace ExportFields {

// A course rounded to whole degrees (44.5 is 045); a wild stored value
// cannot overflow the conversion.
inline int courseRounded(double cog)
{
    if (std::isnan(cog))
        return 0;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return int(qBound(low, std::floor(cog + 0.5), high));
}

// A row recorded without a fix has no position (nor course and speed).
inline bool hasPosition(double lon, double lat)
{
    return std::fabs(lon) > 1e-12 && std::fabs(lat) > 1e-12;
}

} // namespace ExportFields
