#include "backend.h"
double BackEnd::convertToHpa(double v) { return v; }
double BackEnd::convertToOther(double v) { return v; }
QString BackEnd::getFormatedPressure(int, double, int, double) { return {}; }
QString BackEnd::getFormatedPressureMb(double) { return {}; }
QString BackEnd::getPressureUnit() { return {}; }
