#include <QtTest>

#include <QRandomGenerator>

namespace {
const QString Tool = QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeadecode/nmeadecode");

struct Run
{
    int exitCode = -1;
    QStringList out;
    QByteArray err;
};

Run decode(const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(Tool, arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.err = process.readAllStandardError();
    return run;
}

// What the tool may print for a value: nothing else ever appears without --verbose.
const QRegularExpression ValueLine(
    QStringLiteral("^(pressure -?\\d+\\.\\d\\d hPa|fix -?\\d+\\.\\d{6} -?\\d+\\.\\d{6} sog -?\\d+\\.\\d\\d cog -?\\d+\\.\\d\\d|nofix)$"));
}

class TestNmeaDecode : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void readsAFile();
    void garbageNeverHurts_data();
    void garbageNeverHurts();
    void corpusReplays();
};

void TestNmeaDecode::decodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("output");

    const QByteArray mixed = "noise$IIMDA,29.9870,I,1.0132,B\r\n"
                             "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
                             "\\s:1*0B\\$GPXDR,P,1.01325,B,Barometer*34\r\n"
                             "$GPRMC,1,V,4807.038,N,01131.000,E,1,2,230394,,\n"
                             "!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*23\r"
                             "$PWEGB,OK*5C\r\n"
                             "$GPXDR,P,1.01325,B,Barometer*35\r\n"
                             "$WIMMB,,,1.02,B";
    QTest::newRow("serial") << QStringList{} << mixed
                            << QStringList{"pressure 1013.20 hPa", "fix 48.117300 11.516667 sog 22.40 cog 84.40",
                                           "pressure 1013.25 hPa", "nofix", "pressure 1020.00 hPa"};
    // Over the network a line with noise in front is not a sentence.
    QTest::newRow("tcp") << QStringList{"--tcp"} << mixed
                         << QStringList{"fix 48.117300 11.516667 sog 22.40 cog 84.40", "pressure 1013.25 hPa", "nofix",
                                        "pressure 1020.00 hPa"};
    QTest::newRow("verbose")
        << QStringList{"--verbose"} << QByteArray("!AIVDM,1\r\n$PWEGB,OK*5C\r\n$GPXDR,P,1.01325,B,Barometer*35\r\n\x01x\n$GPGGA,1\n")
        << QStringList{"refused: !AIVDM,1 (does not begin with $)", "reply: $PWEGB,OK*5C",
                       "refused: $GPXDR,P,1.01325,B,Barometer*35 (checksum wrong, computed 34)",
                       "refused: \\x01x (no $ or ! in the line)", "refused: $GPGGA,1 (sentence GGA not decoded)"};
    QTest::newRow("empty input") << QStringList{} << QByteArray() << QStringList{};
}

void TestNmeaDecode::decodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, output);
    const Run run = decode(arguments, input);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, output);
}

void TestNmeaDecode::readsAFile()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("log.nmea"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("$GPXDR,P,1.01325,B,Barometer*34\r\n");
    file.close();
    const Run run = decode({file.fileName()}, QByteArray());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringList{"pressure 1013.25 hPa"});

    const Run missing = decode({dir.filePath("absent.nmea")}, QByteArray());
    QCOMPARE(missing.exitCode, 2);
    QVERIFY(missing.err.contains("cannot read"));
}

void TestNmeaDecode::garbageNeverHurts_data()
{
    QTest::addColumn<QByteArray>("input");
    QRandomGenerator random(4242);
    QByteArray noise(4 << 20, '\0');
    for (char &c : noise)
        c = char(random.bounded(256));
    QTest::newRow("random bytes") << noise;
    QTest::newRow("one endless line") << QByteArray(8 << 20, '$');
    QByteArray sentences;
    const QList<QByteArray> alphabet{"$", "!", "*", ",", "\r", "\n", "\\", "IIMDA", "GPRMC", "WIXDR", "IIMMB",
                                     "1.0", "9999", "N", "E", "S", "W", "A", "V", "P", "B", "nan", "-", "e9"};
    while (sentences.size() < (2 << 20))
        sentences += alphabet.at(random.bounded(alphabet.size()));
    QTest::newRow("sentence fragments") << sentences;
}

void TestNmeaDecode::garbageNeverHurts()
{
    QFETCH(QByteArray, input);
    for (const QStringList &arguments : {QStringList{}, QStringList{"--tcp"}}) {
        const Run run = decode(arguments, input);
        QCOMPARE(run.exitCode, 0);
        for (const QString &line : run.out)
            QVERIFY2(ValueLine.match(line).hasMatch(), qPrintable(line));
    }
}

void TestNmeaDecode::corpusReplays()
{
    // What the fuzzer kept: every input once more, through both framings.
    QDir corpus(QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/data/fuzz"));
    const QStringList files = corpus.entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString &name : files) {
        for (const QStringList &mode : {QStringList{}, QStringList{"--tcp"}}) {
            const Run run = decode(mode + QStringList{"--verbose", corpus.filePath(name)}, QByteArray());
            QVERIFY2(run.exitCode == 0, qPrintable(name));
        }
    }
}

QTEST_GUILESS_MAIN(TestNmeaDecode)
#include "tst_nmeadecode.moc"
