// NMEA 0183 text in and out: the parser and its items, the line framing, the
// sentences the program writes (read back by pynmea2), nmeadecode over
// recordings, and the fuzz corpus replayed.
#include "lineframer.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "nmeasenderudp.h"
#include "nmeasourceserial.h"
#include "testsupport.h"

#include <QRandomGenerator>

#include <cmath>

using namespace TestSupport;

namespace {
// Writes down, as nmeadecode prints them, the values the items hand over
// and the lines that reach the parser; notes any value beyond reason.
class Recorder : public NmeaConsumer, public SentenceSink
{
public:
    void setPressure(double pressure, int) override
    {
        sane = sane && !std::isnan(pressure);
        calls << QStringLiteral("pressure %1 hPa").arg(pressure, 0, 'f', 2);
    }
    void setFix(const QPointF &p, double sog, double cog, int) override
    {
        sane = sane && std::fabs(p.y()) <= 90 && std::fabs(p.x()) <= 180 && std::isfinite(sog) && std::isfinite(cog);
        calls << QStringLiteral("fix %1 %2 sog %3 cog %4").arg(p.y(), 0, 'f', 6).arg(p.x(), 0, 'f', 6)
                     .arg(sog, 0, 'f', 2).arg(cog, 0, 'f', 2);
    }
    void clearFix(int) override { calls << QStringLiteral("nofix"); }
    bool isValidSentence(const QByteArray &line, int &index) override { return parser.isValidSentence(line, index); }
    void parseSentence(const QByteArray &line, int index, int source) override
    {
        parsed << escape(QString::fromUtf8(line));
        parser.parseSentence(line, index, source);
    }
    Nmea0183 parser{nullptr, this};
    QStringList calls, parsed, replies, rejected;
    bool sane = true;
};

QString join(const QStringList &list)
{
    return list.join(QStringLiteral(" | "));
}

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("failed: ") + process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

class TestNmea : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data() { addRows(QStringLiteral("sentences.tsv")); }
    void sentences()
    {
        Recorder r;
        QStringList index, valid, checksum, reason;
        for (const QString &text : items(cell("line"))) {
            const QByteArray bytes = unescape(text);
            int known = -1;
            index << QString::number(r.parser.isKnownSentence(bytes, known) ? known : -1);
            valid << QString::number(r.parser.isValidSentence(bytes, known));
            checksum << Nmea0183::checksum(bytes);
            reason << r.parser.refusalReason(bytes);
            if (valid.last() == QLatin1String("1"))
                r.parser.parseSentence(bytes, known, 1);
        }
        QCOMPARE_ROW(join(index), "index");
        QCOMPARE_ROW(join(valid), "valid");
        QCOMPARE_ROW(join(checksum), "checksum");
        QCOMPARE_ROW(join(reason), "reason");
        QCOMPARE_ROW(join(r.calls), "decoded");
    }

    // Also fed one byte at a time, with the same outcome.
    void framing_data() { addRows(QStringLiteral("framing.tsv")); }
    void framing()
    {
        QStringList outcome;
        for (bool bytewise : {false, true}) {
            Recorder r;
            LineFramer framer(cell("variant") == "serial" ? LineFramer::Serial : LineFramer::Network, 1);
            framer.setReplyHandler([&r](const QByteArray &l) { r.replies << escape(QString::fromUtf8(l)); });
            framer.setRejectHandler([&r](const QByteArray &l, const QString &why) {
                r.rejected << escape(QString::fromUtf8(l)) + QStringLiteral(": ") + why;
            });
            for (const QString &chunk : items(cell("chunks"))) {
                const QByteArray bytes = unescape(chunk);
                for (int i = 0; i < bytes.size(); i += bytewise ? 1 : bytes.size())
                    framer.feed(bytes.mid(i, bytewise ? 1 : -1), &r);
            }
            outcome << join({join(r.parsed), QString::number(framer.pendingSize()), join(r.replies), join(r.rejected)});
            if (bytewise)
                break;
            QCOMPARE_ROW(join(r.parsed), "parsed");
            QCOMPARE_ROW(QString::number(framer.pendingSize()), "pending");
            QCOMPARE_ROW(join(r.replies), "replies");
            QCOMPARE_ROW(join(r.rejected), "rejected");
        }
        QCOMPARE(outcome.at(1), outcome.at(0));
    }

    // A stream without separators cannot grow the tail without end; it
    // recovers at the next separator; a read beyond the bound loses no line.
    void boundedTail()
    {
        MessageLog log;
        Recorder r;
        LineFramer framer(LineFramer::Network, 2);
        for (int i = 0; i < 30; ++i)
            framer.feed(QByteArray(1000, 'x'), &r);
        QCOMPARE(framer.pendingSize(), LineFramer::MaxPending);
        QCOMPARE(log.count(QStringLiteral("NMEA line buffer full")), 1);
        QByteArray big = "\r\n";
        while (big.size() < 3 * LineFramer::MaxPending)
            big += "$GPXDR,P,1.01325,B,Barometer\r\n";
        framer.feed(big + "$GPX", &r);
        QCOMPARE(r.calls.size(), big.count('\n') - 1);
        QCOMPARE(framer.pendingSize(), 4);
    }

    void written_data() { addRows(QStringLiteral("nmeaout.tsv")); }
    void written()
    {
        QFETCH(QString, kind);
        const QStringList v = cell("input").split(' ');
        const auto d = [&v](int i) { return v.value(i).toDouble(); };
        Clock::setWallClock(QDateTime(QDate(2026, 12, 5), QTime(12, 34, 56), Qt::UTC).toMSecsSinceEpoch());
        const QString text = kind == QLatin1String("xdr") ? NmeaSenderUdp::buildXdr(d(0))
            : kind == QLatin1String("rmc")                ? NmeaSenderUdp::buildRmc({d(0), d(1)}, d(2), d(3))
            : kind == QLatin1String("ucal")               ? NmeaSourceSerial::calibrationCommand(d(0), d(1), d(2))
            : kind == QLatin1String("query")              ? NmeaSourceSerial::calibrationQuery()
                                                          : NmeaSourceSerial::factoryResetCommand();
        Clock::reset();
        QCOMPARE_ROW(text, "sentence");
    }

    // Debian's pynmea2 reads every relayed sentence of nmeaout.tsv back to its values.
    void independentParserAgrees()
    {
        QFile cases(dataPath(QStringLiteral("nmeaout.tsv")));
        QTemporaryDir dir;
        QFile sentences(dir.filePath(QStringLiteral("out.nmea")));
        QVERIFY(cases.open(QIODevice::ReadOnly) && sentences.open(QIODevice::WriteOnly));
        QStringList inputs;
        for (const QByteArray &line : cases.readAll().split('\n')) {
            if (line.startsWith("xdr\t") || line.startsWith("rmc\t"))
                inputs << line.split('\t').at(1), sentences.write(line.split('\t').at(2) + "\r\n");
        }
        sentences.close();
        const QStringList out = run(QStringLiteral("/usr/bin/python3"), {"-c", "import sys, pynmea2\n"
            "for line in open(sys.argv[1]):\n"
            "    m = pynmea2.parse(line.strip(), check=True)\n"
            "    print(*([m.longitude, m.latitude, m.spd_over_grnd, m.true_course, m.status, m.datestamp, m.timestamp]\n"
            "            if m.sentence_type == 'RMC' else [float(m.value) * 1000, m.type, m.units, m.id]))\n",
            sentences.fileName()}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(out.size(), inputs.size());
        for (int i = 0; i < out.size(); ++i) {
            const QStringList got = out.at(i).split(QLatin1Char(' '));
            const QStringList want = inputs.at(i).split(QLatin1Char(' '));
            // Thousandths of a minute, hundredths of a knot and a degree, 0.01 hPa.
            const double tolerance[] = {want.size() > 1 ? 1e-5 : 0.006, 1e-5, 0.005, 0.005};
            for (int k = 0; k < want.size(); ++k)
                QVERIFY2(qAbs(got.at(k).toDouble() - want.at(k).toDouble()) <= tolerance[k], qPrintable(out.at(i)));
            QCOMPARE(got.mid(want.size()).join(' '), QString(want.size() > 1 ? "A 2026-12-05 12:34:56" : "P B Barometer"));
        }
    }

    // tools/nmeadecode over each recording, in both framings: <name>.<framing>.chk.
    void decodeTool_data()
    {
        QTest::addColumn<QString>("recording");
        QTest::addColumn<QString>("framing");
        for (const QString &name : QDir(dataPath(QString())).entryList({QStringLiteral("*.nmea")})) {
            for (const char *framing : {"serial", "tcp"})
                QTest::addRow("%s %s", qPrintable(name), framing) << name << QString::fromLatin1(framing);
        }
    }
    void decodeTool()
    {
        QFETCH(QString, recording);
        QFETCH(QString, framing);
        const QString output = run(QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeadecode/nmeadecode"),
                                   {"--verbose", dataPath(recording), framing == QLatin1String("tcp") ? "--tcp" : "--"});
        QFile check(dataPath(recording.section(QLatin1Char('.'), 0, 0) + QLatin1Char('.') + framing + ".chk"));
        if (qEnvironmentVariableIntValue("QUILLMERE_REBUILD_EXPECTED") == 1 && check.open(QIODevice::WriteOnly))
            check.write(output.toUtf8()), check.close();
        QVERIFY2(check.open(QIODevice::ReadOnly), qPrintable(check.fileName()));
        QCOMPARE(output, QString::fromUtf8(check.readAll()));
    }

    // What the fuzzer kept, and random noise, through both framings: no
    // crash, no value beyond reason.
    void corpusAndNoiseAreHarmless()
    {
        QByteArrayList inputs;
        for (QDirIterator it(dataPath(QStringLiteral("fuzz")), QDir::Files); it.hasNext();) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            inputs << f.readAll();
        }
        QVERIFY(inputs.size() > 100);
        const char alphabet[] = "$!*,\r\n\\PBAV-.0123456789IIMDAXRMCEWNSe\x01\xff";
        QByteArray noise(1 << 20, '\0');
        for (char &c : noise)
            c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet) - 1)];
        inputs << noise;
        for (const LineFramer::Variant variant : {LineFramer::Serial, LineFramer::Network}) {
            Recorder r;
            LineFramer framer(variant, 1);
            for (const QByteArray &input : qAsConst(inputs))
                framer.feed(input + "\n", &r);
            QVERIFY(r.sane);
        }
    }
};

QTEST_GUILESS_MAIN(TestNmea)
#include "tst_nmea.moc"
