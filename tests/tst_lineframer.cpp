#include "lineframer.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "sentencesink.h"
#include "testsupport.h"

#include <QtTest>

namespace {
class NullConsumer : public NmeaConsumer
{
public:
    void setPressure(double, int) override {}
    void setFix(const QPointF &, double, double, int) override {}
    void clearFix(int) override {}
};

// The real parser behind a sink that writes down what reached it.
class RecordingSink : public SentenceSink
{
public:
    bool isValidSentence(const QByteArray &line, int &index) override
    {
        offered << QString::fromUtf8(line);
        return parser.isValidSentence(line, index);
    }
    void parseSentence(const QByteArray &line, int index, int sourceId) override
    {
        parsed << QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(line)).arg(index).arg(sourceId);
        parser.parseSentence(line, index, sourceId);
    }
    NullConsumer consumer;
    Nmea0183 parser{nullptr, &consumer};
    QStringList offered;
    QStringList parsed;
};

const QByteArray Mda("$IIMDA,29.9870,I,1.0132,B");
const QByteArray Xdr("$GPXDR,P,1.01325,B,Barometer*34");
const QByteArray Rmc("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
const char *const Rejected = "message rejected by NMEA module";
}

Q_DECLARE_METATYPE(LineFramer::Variant)

class TestLineFramer : public QObject
{
    Q_OBJECT

private slots:
    void framing_data();
    void framing();
    void repliesTakenOut_data();
    void repliesTakenOut();
    void refusedLinesReported();
    void boundedTail();
    void clearDropsTail();
};

void TestLineFramer::framing_data()
{
    QTest::addColumn<LineFramer::Variant>("variant");
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("parsed");
    QTest::addColumn<int>("pending");
    QTest::addColumn<int>("rejections");

    const auto S = LineFramer::Serial;
    const auto N = LineFramer::Network;
    const QString mda = QString::fromUtf8(Mda) + " 0 1";
    const QString xdr = QString::fromUtf8(Xdr) + " 1 1";
    const QString rmc = QString::fromUtf8(Rmc) + " 3 1";

    QTest::newRow("split in the time field")
        << S << QList<QByteArray>{Rmc.left(10), Rmc.mid(10) + "\r\n"} << QStringList{rmc} << 0 << 0;
    QTest::newRow("first half waits")
        << S << QList<QByteArray>{Rmc.left(10)} << QStringList{} << 10 << 0;
    QTest::newRow("CR ends one read, LF starts the next")
        << S << QList<QByteArray>{Mda + "\r", "\n" + Xdr + "\r\n"} << QStringList{mda, xdr} << 0 << 0;
    QTest::newRow("separators only")
        << S << QList<QByteArray>{"\r\n\r\n", "\n\\\r"} << QStringList{} << 0 << 0;
    QTest::newRow("tag block")
        << N << QList<QByteArray>{"\\s:2573485,c:1671620143*0B\\" + Xdr + "\r\n"} << QStringList{xdr} << 0 << 0;
    QTest::newRow("three sentences, last incomplete")
        << S << QList<QByteArray>{Mda + "\r\n" + Xdr + "\r\n" + Rmc.left(20)} << QStringList{mda, xdr} << 20 << 0;
    QTest::newRow("every separator")
        << N << QList<QByteArray>{Mda + "\n" + Xdr + "\r" + Mda + "\\" + Xdr + "\r\n"}
        << QStringList{mda, xdr, mda, xdr} << 0 << 0;
    QTest::newRow("serial noise before dollar")
        << S << QList<QByteArray>{"\x01\xff#junk" + Mda + "\r\n"} << QStringList{mda} << 0 << 0;
    QTest::newRow("network noise before dollar skipped")
        << N << QList<QByteArray>{"junk" + Mda + "\r\n" + Xdr + "\n"} << QStringList{xdr} << 0 << 0;
    QTest::newRow("serial noise only") << S << QList<QByteArray>{"garbage\r\n"} << QStringList{} << 0 << 0;
    QTest::newRow("serial refusal warns")
        << S << QList<QByteArray>{"$GPGGA,1,2\r\n!AIVDM,1,1\r\n$GPXDR,P,1.01325,B,Barometer*35\r\n"}
        << QStringList{} << 0 << 3;
    QTest::newRow("network refusal silent")
        << N << QList<QByteArray>{"$GPGGA,1,2\r\n!AIVDM,1,1\r\n$GPXDR,P,1.01325,B,Barometer*35\r\n"}
        << QStringList{} << 0 << 0;
    QTest::newRow("one byte at a time")
        << N << [] {
               QList<QByteArray> bytes;
               for (char c : Mda + "\r\n" + Xdr + "\r\n")
                   bytes << QByteArray(1, c);
               return bytes;
           }() << QStringList{QString::fromUtf8(Mda) + " 0 1", xdr}
        << 0 << 0;
    // A multi-byte character cut between two reads survives.
    QTest::newRow("UTF-8 character split")
        << N << QList<QByteArray>{"$WIXDR,P,1.02,B,Bar\xc3", "\xa9\r\n"}
        << QStringList{QString::fromUtf8("$WIXDR,P,1.02,B,Bar\xc3\xa9 1 1")} << 0 << 0;
}

void TestLineFramer::framing()
{
    QFETCH(LineFramer::Variant, variant);
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, parsed);
    QFETCH(int, pending);
    QFETCH(int, rejections);

    TestSupport::MessageLog log;
    RecordingSink sink;
    LineFramer framer(variant, 1);
    for (const QByteArray &chunk : chunks)
        framer.feed(chunk, &sink);
    QCOMPARE(sink.parsed, parsed);
    QCOMPARE(framer.pendingSize(), pending);
    QCOMPARE(log.count(Rejected), rejections);
    QVERIFY(!sink.offered.contains(QString()));
}

void TestLineFramer::repliesTakenOut_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("reply");
    QTest::newRow("OK") << QByteArray("$PWEGB,OK*5C") << true;
    QTest::newRow("ERR") << QByteArray("$PWEGB,ERR") << true;
    QTest::newRow("ERR with fields") << QByteArray("$PWEGB,ERR,3*11") << true;
    QTest::newRow("calibration") << QByteArray("$PWEGB,CAL,0.50,10,1000.0,1012.34*3F") << true;
    QTest::newRow("calibration query echo") << QByteArray("$PWEGB,CAL?*1A") << false;
    QTest::newRow("other kind") << QByteArray("$PWEGB,XYZ") << false;
}

void TestLineFramer::repliesTakenOut()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, reply);
    TestSupport::MessageLog log;
    RecordingSink sink;
    QList<QByteArray> replies;
    LineFramer serial(LineFramer::Serial, 1);
    serial.setReplyHandler([&replies](const QByteArray &l) { replies << l; });
    serial.feed("\x02" + line + "\r\n", &sink);
    QCOMPARE(replies, reply ? QList<QByteArray>{line} : QList<QByteArray>{});
    QCOMPARE(log.count(Rejected), reply ? 0 : 1);
    QCOMPARE(sink.offered.size(), reply ? 0 : 1);

    // Over the network the same line is an ordinary (refused) sentence.
    replies.clear();
    LineFramer network(LineFramer::Network, 2);
    network.setReplyHandler([&replies](const QByteArray &l) { replies << l; });
    network.feed(line + "\r\n", &sink);
    QVERIFY(replies.isEmpty());
    QCOMPARE(sink.offered.last(), QString::fromUtf8(line));
}

void TestLineFramer::refusedLinesReported()
{
    RecordingSink sink;
    QStringList why;
    LineFramer framer(LineFramer::Network, 3);
    framer.setRejectHandler([&why](const QByteArray &line, const QString &reason) {
        why << QString::fromUtf8(line) + " | " + reason;
    });
    framer.feed("\\s:1*0B\\$GPGGA,1\r\n" + Mda + "\r\n", &sink);
    QCOMPARE(why, (QStringList{"s:1*0B | does not begin with $ or !", "$GPGGA,1 | refused by the parser"}));
    QCOMPARE(sink.parsed, QStringList{QString::fromUtf8(Mda) + " 0 3"});
}

void TestLineFramer::boundedTail()
{
    TestSupport::MessageLog log;
    RecordingSink sink;
    LineFramer framer(LineFramer::Network, 2);
    const char *const full = "NMEA line buffer full, oldest bytes dropped, source 2";
    for (int i = 0; i < 30; ++i)
        framer.feed(QByteArray(1000, 'x'), &sink);
    QCOMPARE(framer.pendingSize(), LineFramer::MaxPending);
    QCOMPARE(log.count(full), 1);

    // The stream recovers at the next separator: the garbage line is
    // skipped, the sentence after it is parsed.
    framer.feed("\r\n" + Mda + "\r\n", &sink);
    QCOMPARE(framer.pendingSize(), 0);
    QCOMPARE(sink.parsed.size(), 1);

    // A later overrun is reported again, once.
    framer.feed(QByteArray(LineFramer::MaxPending + 1, '$'), &sink);
    framer.feed(QByteArray(5000, '$'), &sink);
    QCOMPARE(framer.pendingSize(), LineFramer::MaxPending);
    QCOMPARE(log.count(full), 2);

    // A single read larger than the bound still yields its complete lines.
    QByteArray big;
    while (big.size() < 3 * LineFramer::MaxPending)
        big += Mda + "\r\n";
    framer.clear();
    sink.parsed.clear();
    framer.feed(big + Mda.left(5), &sink);
    QCOMPARE(sink.parsed.size(), big.count('\n'));
    QCOMPARE(framer.pendingSize(), 5);
}

void TestLineFramer::clearDropsTail()
{
    RecordingSink sink;
    LineFramer framer(LineFramer::Serial, 1);
    framer.feed(Mda.left(12), &sink);
    framer.clear();
    QCOMPARE(framer.pendingSize(), 0);
    framer.feed(Mda.mid(12) + "\r\n", &sink);
    QVERIFY(sink.parsed.isEmpty());
}

QTEST_GUILESS_MAIN(TestLineFramer)
#include "tst_lineframer.moc"
