#include "backend.h"
void BackEnd::calibrateBarometer(double, double, double) {}
void BackEnd::requestCurrentCalibration() {}
void BackEnd::resetBarometer() {}
void BackEnd::slot_calibrationValues(QString) {}
