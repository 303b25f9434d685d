#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "nmeaitem.h"

#include <QtTest>

namespace {
class CountingConsumer : public NmeaConsumer
{
public:
    void setPressure(double pressure, int source) override { pressures << qMakePair(pressure, source); }
    void setFix(const QPointF &, double, double, int) override { ++fixes; }
    void clearFix(int) override {}
    QList<QPair<double, int>> pressures;
    int fixes = 0;
};
}

class TestNmea0183 : public QObject
{
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void knownSentence_data();
    void knownSentence();
    void checksumValid_data();
    void checksumValid();
    void validSentenceNeedsBoth_data();
    void validSentenceNeedsBoth();
    void itemsCreatedOnFirstUseAndShared();
    void unknownIndexWarns();
    void refusalReasons_data();
    void refusalReasons();
};

void TestNmea0183::checksum_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("calibration query") << QByteArray("$PWEGB,CAL?") << "1A";
    QTest::newRow("factory reset") << QByteArray("$PWEGB,FRST") << "78";
    QTest::newRow("relayed pressure") << QByteArray("$GPXDR,P,1.01325,B,Barometer") << "34";
    QTest::newRow("stops at star") << QByteArray("$GPXDR,P,1.01325,B,Barometer*FF") << "34";
    QTest::newRow("stops at CR") << QByteArray("$PWEGB,FRST\r\nXYZ") << "78";
    QTest::newRow("stops at LF") << QByteArray("$PWEGB,FRST\nXYZ") << "78";
    QTest::newRow("encapsulated start") << QByteArray("!PWEGB,FRST") << "78";
    QTest::newRow("empty") << QByteArray() << "00";
    QTest::newRow("dollar only") << QByteArray("$") << "00";
    QTest::newRow("leading zero") << QByteArray("$E") << "45";
    QTest::newRow("single byte after dollar") << QByteArray("$\x05") << "05";
    // Bytes 1..98 of "$" + 98 'A' + "B": an even count of 'A' xors to 0,
    // and the B at position 99 lies outside the considered text.
    QTest::newRow("first 99 bytes only") << (QByteArray("$") + QByteArray(98, 'A') + "B") << "00";
    QTest::newRow("byte 98 counts") << (QByteArray("$") + QByteArray(97, 'A') + "B") << "03";
}

void TestNmea0183::checksum()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QCOMPARE(Nmea0183::checksum(text), expected);
}

void TestNmea0183::knownSentence_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("known");
    QTest::addColumn<int>("index");
    QTest::newRow("MDA") << QByteArray("$IIMDA,29.9870,I,1.0154,B") << true << 0;
    QTest::newRow("XDR") << QByteArray("$GPXDR,P,1.01325,B,Barometer*34") << true << 1;
    QTest::newRow("MMB") << QByteArray("$WIMMB,29.9870,I,1.0154,B") << true << 2;
    QTest::newRow("RMC") << QByteArray("$ECRMC,123456.00,A") << true << 3;
    QTest::newRow("any talker") << QByteArray("$zzMDA,") << true << 0;
    QTest::newRow("exactly six bytes") << QByteArray("$GPRMC") << true << 3;
    QTest::newRow("five bytes") << QByteArray("$GPRM") << false << -1;
    QTest::newRow("empty") << QByteArray() << false << -1;
    QTest::newRow("encapsulated") << QByteArray("!AIMDA,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*23") << false << -1;
    QTest::newRow("no dollar") << QByteArray("GPRMC,123519,A") << false << -1;
    QTest::newRow("lower-case formatter") << QByteArray("$GPrmc,123519,A") << false << -1;
    QTest::newRow("other sentence") << QByteArray("$GPGGA,123519,4807.038,N") << false << -1;
    QTest::newRow("barometer reply") << QByteArray("$PWEGB,OK*5C") << false << -1;
}

void TestNmea0183::knownSentence()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, known);
    QFETCH(int, index);
    Nmea0183 parser;
    int found = -1;
    QCOMPARE(parser.isKnownSentence(line, found), known);
    QCOMPARE(found, index);
}

void TestNmea0183::checksumValid_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("valid");
    QTest::newRow("right") << QByteArray("$IIMDA,29.9870,I,1.0154,B,18.5,C,,,,,,,,,,,,,,*2E") << true;
    QTest::newRow("lower case") << QByteArray("$IIMDA,29.9870,I,1.0154,B,18.5,C,,,,,,,,,,,,,,*2e") << true;
    QTest::newRow("absent") << QByteArray("$IIMDA,29.9870,I,1.0154,B,18.5,C,,,,,,,,,,,,,,") << true;
    QTest::newRow("wrong") << QByteArray("$IIMDA,29.9870,I,1.0154,B,18.5,C,,,,,,,,,,,,,,*2F") << false;
    QTest::newRow("star alone") << QByteArray("$WIMDA,29.92,I*") << false;
    QTest::newRow("one digit") << QByteArray("$WIMDA,29.92,I*3") << false;
    QTest::newRow("extra after digits") << QByteArray("$WIMDA,29.92,I*31xyz") << true;
    QTest::newRow("two stars, last holds it") << QByteArray("$WIMDA,29.92,I*00*31") << true;
    QTest::newRow("two stars, first holds it") << QByteArray("$WIMDA,29.92,I*31*00") << false;
}

void TestNmea0183::checksumValid()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, valid);
    QCOMPARE(Nmea0183::isChecksumValid(line), valid);
}

void TestNmea0183::validSentenceNeedsBoth_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("valid");
    QTest::newRow("known, right checksum") << QByteArray("$GPXDR,P,1.01325,B,Barometer*34") << true;
    QTest::newRow("known, wrong checksum") << QByteArray("$GPXDR,P,1.01325,B,Barometer*35") << false;
    QTest::newRow("known, empty checksum") << QByteArray("$GPXDR,P,1.01325,B,Barometer*") << false;
    QTest::newRow("unknown, right checksum")
        << QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47") << false;
}

void TestNmea0183::validSentenceNeedsBoth()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, valid);
    Nmea0183 parser;
    int index = -1;
    QCOMPARE(parser.isValidSentence(line, index), valid);
}

void TestNmea0183::itemsCreatedOnFirstUseAndShared()
{
    CountingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    QCOMPARE(parser.sentenceIds, (QList<QByteArray>{"MDA", "XDR", "MMB", "RMC"}));
    QVERIFY(parser.items.isEmpty());

    parser.parseSentence("$IIMDA,29.9870,I,1.0154,B", 0, 1);
    QCOMPARE(parser.items.keys(), QList<int>{0});
    NmeaItem *mda = parser.items.value(0);
    parser.parseSentence("$WIMDA,,I,1.0200,B", 0, 3);
    QCOMPARE(parser.items.value(0), mda);

    parser.parseSentence("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 3, 2);
    QCOMPARE(parser.items.keys(), (QList<int>{0, 3}));
    QCOMPARE(consumer.pressures.size(), 2);
    QCOMPARE(consumer.pressures.at(0).first, 1015.4);
    QCOMPARE(consumer.pressures.at(0).second, 1);
    QCOMPARE(consumer.pressures.at(1).first, 1020.0);
    QCOMPARE(consumer.pressures.at(1).second, 3);
    QCOMPARE(consumer.fixes, 1);
}

void TestNmea0183::unknownIndexWarns()
{
    CountingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    QTest::ignoreMessage(QtWarningMsg, "message not implemented?? 7");
    parser.parseSentence("$IIMDA,29.9870,I,1.0154,B", 7, 1);
    QVERIFY(parser.items.isEmpty());
    QVERIFY(consumer.pressures.isEmpty());
}

void TestNmea0183::refusalReasons_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("accepted") << QByteArray("$GPXDR,P,1.01325,B,Barometer*34") << QString();
    QTest::newRow("short") << QByteArray("$GPRM") << "too short for a sentence";
    QTest::newRow("encapsulated") << QByteArray("!AIVDM,1,1") << "does not begin with $";
    QTest::newRow("other") << QByteArray("$GPGGA,1") << "sentence GGA not decoded";
    QTest::newRow("checksum") << QByteArray("$GPXDR,P,1.01325,B,Barometer*35") << "checksum wrong, computed 34";
}

void TestNmea0183::refusalReasons()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, reason);
    Nmea0183 parser;
    QCOMPARE(parser.refusalReason(line), reason);
}

QTEST_GUILESS_MAIN(TestNmea0183)
#include "tst_nmea0183.moc"
