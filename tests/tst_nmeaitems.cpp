#include "backend.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "nmeaitemmmb.h"
#include "nmeaitemxdr.h"
#include "testsupport.h"

#include <QtTest>

#include <atomic>
#include <thread>

namespace {
// Writes down every value the items hand over, in order.
class RecordingConsumer : public NmeaConsumer
{
public:
    void setPressure(double pressure, int source) override
    {
        calls << QStringLiteral("pressure %1 source %2").arg(pressure, 0, 'f', 2).arg(source);
    }
    void setFix(const QPointF &p, double sog, double cog, int source) override
    {
        calls << QStringLiteral("fix %1 %2 sog %3 cog %4 source %5")
                     .arg(p.y(), 0, 'f', 6)
                     .arg(p.x(), 0, 'f', 6)
                     .arg(sog, 0, 'f', 2)
                     .arg(cog, 0, 'f', 2)
                     .arg(source);
    }
    void clearFix(int source) override { calls << QStringLiteral("clear source %1").arg(source); }
    QStringList calls;
};

void parseAll(Nmea0183 &parser, const QStringList &lines, int sourceId)
{
    for (const QString &line : lines) {
        int index = -1;
        const QByteArray bytes = line.toUtf8();
        QVERIFY2(parser.isKnownSentence(bytes, index), qPrintable(line));
        parser.parseSentence(bytes, index, sourceId);
    }
}
}

class TestNmeaItems : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void xdrWithoutPressureKeepsNoPressure();
    void mmbEmptyFieldsClearHasPressure();
    void reachesBackEndByDefault();
    void backEndReadWhileWorkerWrites();
};

void TestNmeaItems::decode_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("warning");
    const QStringList none;

    // MDA: field 1 inches of mercury, field 3 bar.
    QTest::newRow("MDA bar") << QStringList{"$IIMDA,29.9870,I,1.0132,B,18.5,C"}
                             << QStringList{"pressure 1013.20 source 1"} << QString();
    QTest::newRow("MDA three fields, inches") << QStringList{"$WIMDA,29.92,I"}
                                              << QStringList{"pressure 1013.21 source 1"} << QString();
    QTest::newRow("MDA two fields, inches") << QStringList{"$WIMDA,29.92*31"}
                                            << QStringList{"pressure 1013.21 source 1"} << QString();
    QTest::newRow("MDA bar field empty") << QStringList{"$IIMDA,29.92,I,,B"} << none << QString();
    QTest::newRow("MDA hPa in bar field") << QStringList{"$IIMDA,29.92,I,1013.2,B"}
                                          << QStringList{"pressure 1013.20 source 1"} << QString();
    QTest::newRow("MDA exactly 3.0 stays") << QStringList{"$IIMDA,,,3.0,B"}
                                           << QStringList{"pressure 3.00 source 1"} << QString();
    QTest::newRow("MDA zero handed over") << QStringList{"$IIMDA,0,I,0,B"}
                                          << QStringList{"pressure 0.00 source 1"} << QString();
    QTest::newRow("MDA checksum not a field") << QStringList{"$IIMDA,29.9,I,1.0132*00"}
                                              << QStringList{"pressure 1013.20 source 1"} << QString();
    QTest::newRow("MDA address only") << QStringList{"$IIMDA"} << none << "MDA wrong message size 1";
    QTest::newRow("MDA unreadable") << QStringList{"$IIMDA,abc,I"} << none << QString();
    QTest::newRow("MDA not a number") << QStringList{"$IIMDA,29.9,I,nan,B"} << none << QString();
    QTest::newRow("MDA infinite") << QStringList{"$IIMDA,29.9,I,inf,B"} << none << QString();

    // MMB: exactly five fields.
    QTest::newRow("MMB bar") << QStringList{"$IIMMB,29.9870,I,1.0154,B*75"}
                             << QStringList{"pressure 1015.40 source 1"} << QString();
    QTest::newRow("MMB inches") << QStringList{"$IIMMB,29.92,I,,B"}
                                << QStringList{"pressure 1013.21 source 1"} << QString();
    QTest::newRow("MMB six fields") << QStringList{"$IIMMB,29.92,I,,B,X"} << none << "MMB wrong message size 6";
    QTest::newRow("MMB four fields") << QStringList{"$IIMMB,29.92,I,1.01"} << none << "MMB wrong message size 4";
    QTest::newRow("MMB both empty") << QStringList{"$IIMMB,,I,,B"} << none << QString();
    QTest::newRow("MMB unreadable gives zero") << QStringList{"$IIMMB,xyz,I,,B"}
                                               << QStringList{"pressure 0.00 source 1"} << QString();

    // XDR: quadruples of type, value, unit, name.
    QTest::newRow("XDR pascals after temperature") << QStringList{"$WIXDR,C,21.3,C,AirTemp,P,101325,P,Baro"}
                                                   << QStringList{"pressure 1013.25 source 1"} << QString();
    QTest::newRow("XDR bar") << QStringList{"$GPXDR,P,1.01325,B,Barometer*34"}
                             << QStringList{"pressure 1013.25 source 1"} << QString();
    QTest::newRow("XDR last quadruple wins") << QStringList{"$WIXDR,P,1.01,B,A,P,1.02,B,B"}
                                             << QStringList{"pressure 1020.00 source 1"} << QString();
    QTest::newRow("XDR stray leading field") << QStringList{"$WIXDR,junk,P,1.02,B,Baro"}
                                             << QStringList{"pressure 1020.00 source 1"} << QString();
    QTest::newRow("XDR trailing empty field shifts")
        << QStringList{"$WIXDR,P,1.02,B,Baro,C,20,C,T,"} << none << QString();
    QTest::newRow("XDR no pressure") << QStringList{"$WIXDR,C,21.3,C,AirTemp"} << none << QString();
    QTest::newRow("XDR empty value") << QStringList{"$WIXDR,P,,B,Baro"} << none << QString();
    QTest::newRow("XDR lower-case type") << QStringList{"$WIXDR,p,1.02,B,Baro"} << none << QString();
    QTest::newRow("XDR temperature after pressure")
        << QStringList{"$WIXDR,P,1.02,B,Baro", "$WIXDR,C,21.3,C,AirTemp"}
        << QStringList{"pressure 1020.00 source 1"} << QString();

    // RMC.
    QTest::newRow("RMC north east")
        << QStringList{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"}
        << QStringList{"fix 48.117300 11.516667 sog 22.40 cog 84.40 source 1"} << QString();
    QTest::newRow("RMC south west")
        << QStringList{"$GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W"}
        << QStringList{"fix -48.117300 -11.516667 sog 22.40 cog 84.40 source 1"} << QString();
    QTest::newRow("RMC mode A")
        << QStringList{"$GPRMC,123519,A,3745.000,N,12230.000,W,5.5,270,051226,,,A"}
        << QStringList{"fix 37.750000 -122.500000 sog 5.50 cog 270.00 source 1"} << QString();
    QTest::newRow("RMC empty mode stays A")
        << QStringList{"$GPRMC,123519,A,3745.000,N,12230.000,W,,,051226,,,"}
        << QStringList{"fix 37.750000 -122.500000 sog 0.00 cog 0.00 source 1"} << QString();
    QTest::newRow("RMC void with position")
        << QStringList{"$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"}
        << QStringList{"clear source 1"} << QString();
    QTest::newRow("RMC void without position")
        << QStringList{"$GPRMC,123519,V,,,,,,,230394,,"} << none << QString();
    QTest::newRow("RMC mode N") << QStringList{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,N"}
                                << QStringList{"clear source 1"} << QString();
    QTest::newRow("RMC at zero zero") << QStringList{"$GPRMC,123519,A,0000.000,N,00000.000,E,1,2,230394,,"}
                                      << none << QString();
    QTest::newRow("RMC eleven fields") << QStringList{"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1"}
                                       << none << QString();
    QTest::newRow("RMC bad hemisphere") << QStringList{"$GPRMC,123519,A,4807.038,X,01131.000,E,1,2,230394,,"}
                                        << none << QString();
    QTest::newRow("RMC bad longitude") << QStringList{"$GPRMC,123519,A,4807.038,N,abc,E,1,2,230394,,"}
                                       << none << QString();
    QTest::newRow("RMC latitude off the globe") << QStringList{"$GPRMC,123519,A,9500.000,N,01131.000,E,1,2,230394,,"}
                                                << none << QString();
    QTest::newRow("RMC huge longitude") << QStringList{"$GPRMC,123519,A,4807.038,N,1e300,E,1,2,230394,,"}
                                        << none << QString();
    QTest::newRow("RMC infinite speed reads as zero")
        << QStringList{"$GPRMC,123519,A,4807.038,N,01131.000,E,inf,nan,230394,,"}
        << QStringList{"fix 48.117300 11.516667 sog 0.00 cog 0.00 source 1"} << QString();
}

void TestNmeaItems::decode()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, calls);
    QFETCH(QString, warning);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    RecordingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    parseAll(parser, lines, 1);
    QCOMPARE(consumer.calls, calls);
}

void TestNmeaItems::xdrWithoutPressureKeepsNoPressure()
{
    RecordingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    parseAll(parser, {"$WIXDR,C,21.3,C,AirTemp"}, 2);
    auto *xdr = static_cast<NmeaItemXDR *>(parser.items.value(1));
    QVERIFY(xdr);
    QCOMPARE(xdr->pressure, -2000.0);
    QVERIFY(!xdr->hasPressure);

    // Once a pressure was seen the flag stays, from any source.
    parseAll(parser, {"$WIXDR,P,1.02,B,Baro"}, 3);
    parseAll(parser, {"$WIXDR,C,21.3,C,AirTemp"}, 2);
    QVERIFY(xdr->hasPressure);
    QCOMPARE(xdr->pressure, 1020.0);
    QCOMPARE(consumer.calls, QStringList{"pressure 1020.00 source 3"});
}

void TestNmeaItems::mmbEmptyFieldsClearHasPressure()
{
    RecordingConsumer consumer;
    Nmea0183 parser(nullptr, &consumer);
    parseAll(parser, {"$IIMMB,29.9870,I,1.0154,B"}, 1);
    auto *mmb = static_cast<NmeaItemMMB *>(parser.items.value(2));
    QVERIFY(mmb->hasPressure);
    parseAll(parser, {"$IIMMB,,I,,B"}, 1);
    QVERIFY(!mmb->hasPressure);
    QVERIFY(!mmb->valid);
    QCOMPARE(consumer.calls.size(), 1);
}

void TestNmeaItems::reachesBackEndByDefault()
{
    TestSupport::TempWorkDir dir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    auto *backEnd = new BackEnd(nullptr);
    {
        Nmea0183 parser;
        parseAll(parser, {"$IIMDA,29.9870,I,1.0132,B", "$GPRMC,1,A,4807.038,N,01131.000,E,5.0,90.0,230394,,"},
                 SourceSerial);
        QCOMPARE(backEnd->getSerialPressure(), 1013.2);
        QCOMPARE(backEnd->getCurrentPressure(), 1013.2);
        QCOMPARE(backEnd->currentPosition(), QPointF(11.516666666666667, 48.1173));
        QCOMPARE(backEnd->currentCourseSpeed(), qMakePair(90.0, 5.0));
        parseAll(parser, {"$GPRMC,1,V,4807.038,N,01131.000,E,5.0,90.0,230394,,"}, SourceSerial);
        QCOMPARE(backEnd->currentPosition(), QPointF(0.0, 0.0));
    }
    delete backEnd;
}

void TestNmeaItems::backEndReadWhileWorkerWrites()
{
    TestSupport::TempWorkDir dir;
    TestSupport::writeSettings(TestSupport::quietSettings());
    auto *backEnd = new BackEnd(nullptr);
    std::atomic<bool> done{false};
    std::thread worker([&done]() {
        Nmea0183 parser;
        for (int i = 0; i < 2000; ++i) {
            parser.parseSentence(i % 2 ? "$IIMDA,,,1.0100,B" : "$IIMDA,,,1.0200,B", 0, SourceTcp);
            parser.parseSentence("$GPRMC,1,A,4807.038,N,01131.000,E,5.0,90.0,230394,,", 3, SourceTcp);
        }
        done = true;
    });
    bool onlyDecoded = true;
    while (!done) {
        const double p = backEnd->getCurrentPressure();
        const QPointF pos = backEnd->currentPosition();
        onlyDecoded = onlyDecoded && (p == NO_PRESSURE || qFuzzyCompare(p, 1010.0) || qFuzzyCompare(p, 1020.0))
            && (pos.isNull() || qFuzzyCompare(pos.y(), 48.1173));
    }
    worker.join();
    QVERIFY(onlyDecoded);
    QVERIFY(qFuzzyCompare(backEnd->getCurrentPressure(), 1010.0));
    delete backEnd;
}

QTEST_GUILESS_MAIN(TestNmeaItems)
#include "tst_nmeaitems.moc"
