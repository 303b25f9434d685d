#include "nmeareceiver.h"
NmeaReceiver::NmeaReceiver() {}
NmeaReceiver::~NmeaReceiver() {}
bool NmeaReceiver::isValidSentence(const QByteArray &, int &) { return false; }
void NmeaReceiver::parseSentence(const QByteArray &, int, int) {}
void NmeaReceiver::stop() { stopAll(); emit finished(); }
void NmeaReceiver::stopAll() {}
void NmeaReceiver::slot_startReceiving() {}
void NmeaReceiver::slot_sendUdp() {}
