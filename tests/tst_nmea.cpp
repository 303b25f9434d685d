// NMEA 0183 text in and out: parser and items, line framing, the sentences the program writes (read back by pynmea2),
// NMEA 2000 frames as text lines, nmeadecode over recordings, the fuzz corpus.
#include "lineframer.h"
#include "n2klinereader.h"
#include "nmea0183.h"
#include "nmeaconsumer.h"
#include "nmeasenderudp.h"
#include "nmeasourceserial.h"
#include "testsupport.h"

#include <cmath>

using namespace TestSupport;

namespace {
// Writes down, as nmeadecode prints them, the values the items hand over and the lines that reach the parser; notes
// any value beyond reason.
class Recorder : public NmeaConsumer, public SentenceSink
{
public:
    void setPressure(double pressure, int) override
    {
        sane = sane && !std::isnan(pressure);
        calls << QString("pressure %1 hPa").arg(pressure, 0, 'f', decimals);
    }
    void setFix(const QPointF &p, double sog, double cog, int) override
    {
        sane = sane && std::fabs(p.y()) <= 90 && std::fabs(p.x()) <= 180 && sog >= 0 && sog <= 1000 && cog >= 0 && cog <= 360;
        calls << QString("fix %1 %2 sog %3 cog %4")
                     .arg(p.y(), 0, 'f', 6)
                     .arg(p.x(), 0, 'f', 6)
                     .arg(sog, 0, 'f', 2)
                     .arg(cog, 0, 'f', 2);
    }
    void clearFix(int) override { calls << "nofix"; }
    bool isValidSentence(const QByteArray &line, int &index) override { return parser.isValidSentence(line, index); }
    void parseSentence(const QByteArray &line, int index, int source) override
    {
        parsed << escape(QString::fromUtf8(line));
        parser.parseSentence(line, index, source);
    }
    Nmea0183 parser{nullptr, this};
    QStringList calls, parsed, replies, rejected;
    bool sane = true;
    int decimals = 2; // of a pressure
};

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return "failed: " + process.readAllStandardError();
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

class TestNmea : public QObject
{
    Q_OBJECT

private slots:
    void sentences_data() { addRows("sentences.tsv"); }
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
            if (valid.last() == "1")
                r.parser.parseSentence(bytes, known, 1);
        }
        QCOMPARE_ROW(index.join(" | "), "index");
        QCOMPARE_ROW(valid.join(" | "), "valid");
        QCOMPARE_ROW(checksum.join(" | "), "checksum");
        QCOMPARE_ROW(reason.join(" | "), "reason");
        QCOMPARE_ROW(r.calls.join(" | "), "decoded");
    }

    // Also fed one byte at a time, with the same outcome.
    void framing_data() { addRows("framing.tsv"); }
    void framing()
    {
        QStringList outcome;
        for (bool bytewise : {false, true}) {
            Recorder r;
            LineFramer framer(cell("variant") == "serial" ? LineFramer::Serial : LineFramer::Network, 1);
            framer.setReplyHandler([&r](const QByteArray &l) { r.replies << escape(QString::fromUtf8(l)); });
            framer.setRejectHandler([&r](const QByteArray &l, const QString &why) {
                r.rejected << escape(QString::fromUtf8(l)) + ": " + why;
            });
            for (const QString &chunk : items(cell("chunks"))) {
                const QByteArray bytes = unescape(chunk);
                for (int i = 0; i < bytes.size(); i += bytewise ? 1 : bytes.size())
                    framer.feed(bytes.mid(i, bytewise ? 1 : -1), &r);
            }
            outcome << (QStringList{r.parsed.join(" | "), QString::number(framer.pendingSize()), r.replies.join(" | "),
                                    r.rejected.join(" | ")});
        }
        QCOMPARE(outcome.mid(4), outcome.mid(0, 4));
        QCOMPARE_ROW(outcome.at(0), "parsed");
        QCOMPARE_ROW(outcome.at(1), "pending");
        QCOMPARE_ROW(outcome.at(2), "replies");
        QCOMPARE_ROW(outcome.at(3), "rejected");
    }

    // A stream without separators cannot grow the tail without end; it recovers at the next separator; a read beyond
    // the bound loses no line.
    void boundedTail()
    {
        MessageLog log;
        Recorder r;
        LineFramer framer(LineFramer::Network, 2);
        for (int i = 0; i < 30; ++i)
            framer.feed(QByteArray(1000, 'x'), &r);
        QCOMPARE(framer.pendingSize(), LineFramer::MaxPending);
        QCOMPARE(log.count("NMEA line buffer full"), 1);
        QByteArray big = "\r\n";
        while (big.size() < 3 * LineFramer::MaxPending)
            big += "$GPXDR,P,1.01325,B,Barometer\r\n";
        framer.feed(big + "$GPX", &r);
        QCOMPARE(r.calls.size(), big.count('\n') - 1);
        QCOMPARE(framer.pendingSize(), 4);
    }

    // Each case one stream through the gateway framing and the frame reader; "+Ns" moves the clock.
    void n2k_data() { addRows("n2k.tsv"); }
    void n2k()
    {
        Recorder r;
        r.decimals = 3;
        N2kLineReader reader(&r, SourceN2k);
        LineFramer framer(LineFramer::Gateway, SourceN2k);
        int refused = 0;
        framer.setRejectHandler([&refused](const QByteArray &, const QString &) { ++refused; });
        for (const QString &line : items(cell("lines"))) {
            if (line.startsWith('+'))
                Clock::advance(line.mid(1).chopped(1).toLongLong() * 1000);
            else
                framer.feed(unescape(line) + "\r\n", &reader);
        }
        Clock::reset();
        QVERIFY(r.sane && reader.decoder().packets().pending() <= 2);
        QCOMPARE_ROW(r.calls.join(" | "), "decoded");
        QCOMPARE_ROW(QString::number(refused), "refused");
    }

    void written_data() { addRows("nmeaout.tsv"); }
    void written()
    {
        const QString kind = cell("kind");
        const QStringList v = cell("input").split(' ');
        const auto d = [&v](int i) { return v.value(i).toDouble(); };
        Clock::setWallClock(QDateTime(QDate(2026, 12, 5), QTime(12, 34, 56), Qt::UTC).toMSecsSinceEpoch());
        const QString text = kind == "xdr" ? NmeaSenderUdp::buildXdr(d(0))
            : kind == "mda"                ? NmeaSenderUdp::buildMda(d(0))
            : kind == "rmc"                ? NmeaSenderUdp::buildRmc({d(0), d(1)}, d(2), d(3))
            : kind == "ucal"               ? NmeaSourceSerial::calibrationCommand(d(0), d(1), d(2))
            : kind == "query"              ? NmeaSourceSerial::calibrationQuery()
                                           : NmeaSourceSerial::factoryResetCommand();
        Clock::reset();
        QCOMPARE_ROW(text, "sentence");
    }

    // Debian's pynmea2 reads every relayed sentence of nmeaout.tsv back to its values (MDA's bars exact).
    void independentParserAgrees()
    {
        QFile cases(dataPath("nmeaout.tsv"));
        QTemporaryDir dir;
        QFile sentences(dir.filePath("out.nmea"));
        QVERIFY(cases.open(QIODevice::ReadOnly) && sentences.open(QIODevice::WriteOnly));
        QStringList inputs;
        for (const QByteArray &line : cases.readAll().split('\n')) {
            if (line.startsWith("xdr\t") || line.startsWith("mda\t") || line.startsWith("rmc\t"))
                inputs << line.split('\t').at(1), sentences.write(line.split('\t').at(2) + "\r\n");
        }
        sentences.close();
        const QStringList out = run("/usr/bin/python3", {"-c", "import sys, pynmea2\n"
        "for line in open(sys.argv[1]):\n"
        "    m = pynmea2.parse(line.strip(), check=True)\n"
        "    print(*([m.longitude, m.latitude, m.spd_over_grnd, m.true_course, m.status, m.datestamp, m.timestamp]\n"
        "            if m.sentence_type == 'RMC' else [float(m.value) * 1000, m.type, m.units, m.id]\n"
        "            if m.sentence_type == 'XDR' else [float(m.b_pressure_bar) * 1000, m.inches, m.bars, m.b_pressure_inch]))\n",
        sentences.fileName()}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(out.size(), inputs.size());
        for (int i = 0; i < out.size(); ++i) {
            const QStringList got = out.at(i).split(' '), want = inputs.at(i).split(' ');
            // Thousandths of a minute, hundredths of a knot and a degree, 0.01 hPa.
            const double tolerance[] = {want.size() > 1 ? 1e-5 : 0.006, 1e-5, 0.005, 0.005};
            for (int k = 0; k < want.size(); ++k)
                QVERIFY2(qAbs(got.at(k).toDouble() - want.at(k).toDouble()) <= tolerance[k], qPrintable(out.at(i)));
            const bool mda = got.value(1) == "I";
            const QString rest = want.size() > 1 ? "A 2026-12-05 12:34:56" : mda ? "I B" : "P B Barometer";
            QCOMPARE(got.mid(want.size(), mda ? 2 : -1), rest.split(' '));
            // Inches of mercury to four decimals: within half a ten-thousandth and the conversion's rounding.
            QVERIFY2(!mda || qAbs(got.at(3).toDouble() - want.at(0).toDouble() / 33.8639) <= 0.0005, qPrintable(out.at(i)));
        }
    }

    // tools/nmeadecode over each recording, NMEA 0183 in both framings, candump logs as NMEA 2000, Signal K
    // messages: <name>.<framing>.chk.
    void decodeTool_data()
    {
        QTest::addColumn<QString>("recording");
        for (const QString &name : QDir(dataPath("")).entryList({"*.nmea"}))
            QTest::newRow(qPrintable(name + " serial")) << name, QTest::newRow(qPrintable(name + " tcp")) << name;
        for (const QString &name : QDir(dataPath("")).entryList({"*.candump"}))
            QTest::newRow(qPrintable(name + " n2k")) << name;
        for (const QString &name : QDir(dataPath("")).entryList({"*.skjson"}))
            QTest::newRow(qPrintable(name + " signalk")) << name;
    }
    void decodeTool()
    {
        QFETCH(QString, recording);
        const QString framing = QString(QTest::currentDataTag()).section(' ', 1);
        const QString output = run(QUILLMERE_BIN_DIR "/tools/nmeadecode/nmeadecode",
                                   {"--verbose", dataPath(recording), framing == "serial" ? "--" : "--" + framing});
        QFile check(dataPath(recording.section('.', 0, 0) + '.' + framing + ".chk"));
        if (qEnvironmentVariableIntValue("QUILLMERE_REBUILD_EXPECTED") == 1 && check.open(QIODevice::WriteOnly))
            check.write(output.toUtf8()), check.close();
        QVERIFY2(check.open(QIODevice::ReadOnly), qPrintable(check.fileName()));
        QCOMPARE(output, QString::fromUtf8(check.readAll()));
    }

    // What the fuzzers kept, through the three framings (the gateway's into the frame reader): no crash, no value
    // beyond reason.
    void corpusIsHarmless()
    {
        for (const LineFramer::Variant variant : {LineFramer::Serial, LineFramer::Network, LineFramer::Gateway}) {
            Recorder r;
            N2kLineReader frames(&r, SourceN2k);
            LineFramer framer(variant, 1);
            int inputs = 0;
            for (QDirIterator it(dataPath("fuzz"), QDir::Files); it.hasNext(); ++inputs) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                framer.feed(f.readAll() + "\n", variant == LineFramer::Gateway ? static_cast<SentenceSink *>(&frames) : &r);
            }
            QVERIFY(inputs > 100 && r.sane);
        }
    }
};

QTEST_GUILESS_MAIN(TestNmea)
#include "tst_nmea.moc"
