#pragma once

#include <QDateTime>
#include <QString>

// The text forms of pressures, speeds, courses, positions and time stamps.
// Every function reads the settings it needs at each call, from the settings
// store of the one BackEnd, so a change on the settings screen shows at the
// next call. Main thread only.
namespace Formatting {

// Pressure unit index (setting unitPre).
enum PressureUnit { UnitMb = 0, UnitHpa = 1, UnitKpa = 2, UnitInHg = 3, UnitMmHg = 4 };

// hPa → unit, and the text suffix of the unit (" hPa"; empty for unknown).
double hpaToUnit(double hpa, int unit);
double unitToHpa(double value, int unit);
QString unitSuffix(int unit);
QString unitName(int unit);

QDateTime toDisplayTime(const QDateTime &t);
QString formatDateTime(const QDateTime &t);
QString formatCoordinate(double v);
QString formatLongitude(double v);
QString formatPosition(double lon, double lat);
QString formatCourse(int course);
QString formatPressure(double pressure, bool withUnit);
QString formatSpeed(double metresPerSecond);
double seaLevelFactor(double elevation);

// Fixed notation with an exact tie rounded away from zero (1013.25 at one
// decimal is 1013.3), "." as decimal point.
QString fixed(double value, int decimals);

} // namespace Formatting
