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
// A change of pressure to the tenth of hPa, in the user's unit with its
// suffix and a sign ("−4.2 hPa", "+0.11 inHg", "0.0 hPa"): hundredths where a
// tenth of hPa would vanish in the unit. Without the unit, a plain number
// for a file.
QString formatChange(double hpa, bool forScreen);
double seaLevelFactor(double elevation);

// Fixed notation as QString::arg writes it with format 'f', as the NMEA
// output does: rounded on the value as stored (1013.15 is 1013.1, the double
// being just below it), an exact tie away from zero (1013.25 is 1013.3), "."
// as decimal point, a minus sign on a negative value even when it rounds to
// zero (-0.04 is -0.0).
QString fixed(double value, int decimals);
// The same number with the default locale's decimal separator (a comma in
// French), as a "%L1" pattern writes it.
QString fixedLocalized(double value, int decimals);

} // namespace Formatting
