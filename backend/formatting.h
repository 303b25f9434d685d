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

// hPa to a unit and back (an unknown unit leaves the value in hPa), the text
// suffix of the unit (" hPa") and its name ("hPa"); both empty for an unknown
// unit.
double hpaToUnit(double hpa, int unit);
double unitToHpa(double value, int unit);
QString unitSuffix(int unit);
QString unitName(int unit);
// Decimals that inHg needs beyond those of the other units.
int extraDecimals(int unit);

QDateTime toDisplayTime(const QDateTime &t);
QString formatDateTime(const QDateTime &t);
QString formatCoordinate(double v);
QString formatLongitude(double v);
QString formatPosition(double lon, double lat);
QString formatCourse(int course);
QString formatPressure(double pressure, bool withUnit);
QString formatSpeed(double metresPerSecond);
double seaLevelFactor(double elevation);

// Fixed notation with a tie rounded away from zero (1013.25 at one decimal is
// 1013.3), "." as decimal point. A value counts as a tie when its shortest
// decimal form (the digits that read back as the same double, "1.005") ends
// in a 5 at the first dropped place: the decimal the value was written as,
// not the binary neighbour just below it.
QString fixed(double value, int decimals);
// The same number with the default locale's decimal separator (a comma in
// French), as a "%L1" pattern writes it.
QString fixedLocalized(double value, int decimals);

} // namespace Formatting
