#include "nmeasenderudp.h"
NmeaSenderUdp::NmeaSenderUdp() {}
NmeaSenderUdp::~NmeaSenderUdp() {}
bool NmeaSenderUdp::sendPressure(double, int) { return false; }
bool NmeaSenderUdp::sendPosition(const QPointF &, double, double, int) { return false; }
void NmeaSenderUdp::slot_restart() {}
