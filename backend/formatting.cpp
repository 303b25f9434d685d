#include "formatting.h"
namespace Formatting {
QString formatDateTime(const QDateTime &) { return {}; }
QString formatPosition(double, double) { return {}; }
QString formatCourse(int) { return {}; }
QString formatPressure(double, bool) { return {}; }
QString formatSpeed(double) { return {}; }
double seaLevelFactor(double) { return 1.0; }
}
