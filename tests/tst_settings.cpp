// The settings store of the back end: keys in any letter case, the
// conversions of getSetting, what reaches the file and when, and the store
// shared by two threads.
#include "backend.h"
#include "formatting.h"
#include "settingsstore.h"
#include "testsupport.h"

#include <QtTest>

#include <atomic>

using namespace TestSupport;

namespace {
QString fileText()
{
    QFile file(QStringLiteral("barograph.ini"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The value text of a key in the file as it is on disk now (a QSettings of
// this process would share the store's unsaved changes), or none.
QVariant onDisk(const QString &key)
{
    const QStringList lines = fileText().split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QVariant();
}

void writeFile(const QByteArray &content)
{
    QFile file(QStringLiteral("barograph.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;

    void start()
    {
        m_backend = new BackEnd(nullptr);
    }

private slots:
    void init()
    {
        m_dir = new TempWorkDir;
        writeSettings(quietSettings());
    }

    void cleanup()
    {
        delete m_backend;
        m_backend = nullptr;
        delete m_dir;
    }

    void keysMatchInAnyCase_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("asked");
        QTest::newRow("stored UnitPre, asked unitPre") << "UnitPre" << "unitPre";
        QTest::newRow("stored unitPre, asked UnitPre") << "unitPre" << "UnitPre";
        QTest::newRow("stored UNITPRE, asked unitpre") << "UNITPRE" << "unitpre";
    }

    void keysMatchInAnyCase()
    {
        QFETCH(QString, stored);
        QFETCH(QString, asked);
        writeSettings({{stored, 3}});
        start();
        QCOMPARE(m_backend->getSetting(asked, 0), QVariant(3));
        QCOMPARE(Formatting::formatPressure(1013.25, true), QStringLiteral("29.92 inHg"));

        // Writing under the other spelling changes the one stored key.
        m_backend->setSetting(asked, 4);
        QCOMPARE(m_backend->getSetting(stored, 0), QVariant(4));
        QCOMPARE(m_backend->getPressureUnit(), QStringLiteral("mmHg"));
        m_backend->syncSettings();
        QCOMPARE(onDisk(stored), QVariant(QStringLiteral("4")));
        QCOMPARE(fileText().count(QStringLiteral("unitpre="), Qt::CaseInsensitive), 1);
        QVERIFY(fileText().contains(stored + QLatin1Char('=')));
        QVERIFY(m_backend->settings()->contains(asked));
        m_backend->settings()->remove(asked);
        QVERIFY(!m_backend->settings()->contains(stored));
    }

    void getSettingConversions_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored"); // invalid: key missing
        QTest::addColumn<QVariant>("def");
        QTest::addColumn<QVariant>("result");
        const QVariant missing;
        QTest::newRow("string key, default int") << "SettingSerialSpeed" << missing << QVariant(9600)
                                                 << QVariant(QStringLiteral("9600"));
        QTest::newRow("string key, stored") << "SettingSerialSpeed" << QVariant(4800) << QVariant(9600)
                                            << QVariant(QStringLiteral("4800"));
        QTest::newRow("string key, address") << "SettingTcpIpAddress" << missing
                                             << QVariant(QStringLiteral("127.000.000.001"))
                                             << QVariant(QStringLiteral("127.000.000.001"));
        QTest::newRow("string key, port") << "SettingSerialPort" << QVariant(QStringLiteral("None"))
                                          << QVariant(0) << QVariant(QStringLiteral("None"));
        QTest::newRow("double key, default int") << "elevation" << missing << QVariant(0) << QVariant(0.0);
        QTest::newRow("double key, stored") << "elevation" << QVariant(12.5) << QVariant(0) << QVariant(12.5);
        QTest::newRow("double key, offset") << "offset" << QVariant(QStringLiteral("-1.25")) << QVariant(0)
                                            << QVariant(-1.25);
        QTest::newRow("int key, stored text") << "theme" << QVariant(QStringLiteral("2")) << QVariant(0)
                                              << QVariant(2);
        QTest::newRow("int key, default") << "timeZone" << missing << QVariant(1) << QVariant(1);
        QTest::newRow("int key, fractional default rounded") << "windowWidth" << missing << QVariant(1234.7)
                                                             << QVariant(1235);
        QTest::newRow("int key, fractional default rounded down") << "windowHeight" << missing
                                                                  << QVariant(864.2) << QVariant(864);
        QTest::newRow("int key, non-integer text") << "precision" << QVariant(QStringLiteral("high"))
                                                   << QVariant(1) << QVariant(0);
        QTest::newRow("int key, fractional text") << "windowX" << QVariant(QStringLiteral("12.5"))
                                                  << QVariant(7) << QVariant(0);
        QTest::newRow("int key, string default") << "unitSpeed" << missing << QVariant(QStringLiteral("2"))
                                                 << QVariant(2);
        QTest::newRow("unknown key") << "noSuchKey" << missing << QVariant(5) << QVariant(5);
    }

    void getSettingConversions()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, def);
        QFETCH(QVariant, result);
        if (stored.isValid())
            writeSettings({{key, stored}});
        start();
        const QVariant value = m_backend->getSetting(key, def);
        QCOMPARE(int(value.type()), int(result.type()));
        QCOMPARE(value, result);
    }

    void versionRewrittenAtStart()
    {
        writeSettings({{QStringLiteral("version"), QStringLiteral("2.1.7")}, {QStringLiteral("theme"), 1}});
        start();
        QCOMPARE(m_backend->settings()->value(QStringLiteral("version")), QVariant(QStringLiteral("3.0.0")));
        delete m_backend;
        m_backend = nullptr;
        QCOMPARE(onDisk(QStringLiteral("version")), QVariant(QStringLiteral("3.0.0")));
        QCOMPARE(onDisk(QStringLiteral("theme")), QVariant(QStringLiteral("1")));
    }

    void missingFileGivesDefaults()
    {
        QFile::remove(QStringLiteral("barograph.ini"));
        start();
        QCOMPARE(m_backend->getSetting(QStringLiteral("locFormat"), 1), QVariant(1));
        delete m_backend;
        m_backend = nullptr;
        QCOMPARE(onDisk(QStringLiteral("version")), QVariant(QStringLiteral("3.0.0")));
    }

    void garbageFileGivesDefaults()
    {
        QByteArray junk("\x00\x01\xff\xfe garbage\n[[[\n]]]\n=====\n==\n[General\nno equals sign here\n"
                        "\\\\\\\n%%%%\n\"unterminated\n",
                        87);
        for (int i = 0; i < 200; ++i)
            junk += QByteArray(1, char((i * 37) % 256)) + "#;[=\r\n";
        writeFile(junk);
        start();
        QCOMPARE(m_backend->getSetting(QStringLiteral("theme"), 0), QVariant(0));
        QCOMPARE(m_backend->getSetting(QStringLiteral("timeZone"), 1), QVariant(1));
        QCOMPARE(m_backend->getSetting(QStringLiteral("elevation"), 0), QVariant(0.0));
        QCOMPARE(m_backend->getSetting(QStringLiteral("SettingSerialSpeed"), 9600), QVariant(QStringLiteral("9600")));
        QCOMPARE(Formatting::formatPressure(1013.25, true), QStringLiteral("1013.3 mb"));
        QCOMPARE(Formatting::formatSpeed(10.0), QStringLiteral("19.4 kts"));

        // The settings still reach the file.
        m_backend->setSetting(QStringLiteral("unitPre"), 1);
        delete m_backend;
        m_backend = nullptr;
        QCOMPARE(onDisk(QStringLiteral("unitPre")), QVariant(QStringLiteral("1")));
        QCOMPARE(onDisk(QStringLiteral("version")), QVariant(QStringLiteral("3.0.0")));
    }

    void writtenOnlyAtSync()
    {
        start();
        m_backend->setSetting(QStringLiteral("precision"), 2);
        QCOMPARE(m_backend->getSetting(QStringLiteral("precision"), 1), QVariant(2));
        QVERIFY(!onDisk(QStringLiteral("precision")).isValid());
        m_backend->syncSettings();
        QCOMPARE(onDisk(QStringLiteral("precision")), QVariant(QStringLiteral("2")));

        // A change made by another writer is read at the next sync.
        {
            QFile file(QStringLiteral("barograph.ini"));
            QVERIFY(file.open(QIODevice::Append));
            file.write("unitSpeed=2\n");
        }
        m_backend->syncSettings();
        QCOMPARE(m_backend->getSetting(QStringLiteral("unitSpeed"), 0), QVariant(2));
    }

    void writtenAtDestruction()
    {
        start();
        m_backend->setSetting(QStringLiteral("theme"), 1);
        QVERIFY(!onDisk(QStringLiteral("theme")).isValid());
        delete m_backend;
        m_backend = nullptr;
        QCOMPARE(onDisk(QStringLiteral("theme")), QVariant(QStringLiteral("1")));
    }

    // The main window stores its geometry when asked, during destruction,
    // and that reaches the file.
    void destructionSavesGeometry()
    {
        start();
        BackEnd *backend = m_backend;
        int asked = 0;
        connect(backend, &BackEnd::saveWindowSize, backend, [backend, &asked] {
            ++asked;
            backend->setSetting(QStringLiteral("windowWidth"), 800);
            backend->setSetting(QStringLiteral("windowHeight"), 600);
            backend->setSetting(QStringLiteral("WindowX"), 10);
            backend->setSetting(QStringLiteral("windowY"), 20);
        });
        {
            MessageLog log;
            delete m_backend;
            m_backend = nullptr;
            QVERIFY(log.contains(QStringLiteral("backend deleted")));
        }
        QCOMPARE(asked, 1);
        QCOMPARE(onDisk(QStringLiteral("windowWidth")), QVariant(QStringLiteral("800")));
        QCOMPARE(onDisk(QStringLiteral("windowHeight")), QVariant(QStringLiteral("600")));
        QCOMPARE(onDisk(QStringLiteral("WindowX")), QVariant(QStringLiteral("10")));
        QCOMPARE(onDisk(QStringLiteral("windowY")), QVariant(QStringLiteral("20")));
    }

    // The NMEA worker reads while the screens write: one thread writes
    // (under changing spellings of the key), the other reads.
    void twoThreadsAtOnce()
    {
        start();
        constexpr int Writes = 3000;
        BackEnd *backend = m_backend;
        std::atomic<bool> done{false};
        QThread *writer = QThread::create([backend, &done] {
            const QString spellings[] = {QStringLiteral("counter"), QStringLiteral("Counter"),
                                         QStringLiteral("COUNTER")};
            for (int i = 1; i <= Writes; ++i) {
                backend->setSetting(spellings[i % 3], i);
                backend->setSetting(QStringLiteral("key%1").arg(i % 50), i);
                if (i % 500 == 0)
                    backend->syncSettings();
            }
            done = true;
        });
        writer->start();
        int last = 0;
        bool orderKept = true;
        int reads = 0;
        while (!done || reads == 0) {
            const int value = backend->getSetting(QStringLiteral("cOuNtEr"), 0).toInt();
            orderKept = orderKept && value >= last && value <= Writes;
            last = value;
            backend->getSetting(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
            ++reads;
        }
        QVERIFY(writer->wait(30000));
        delete writer;
        QVERIFY(orderKept);
        QCOMPARE(backend->getSetting(QStringLiteral("counter"), 0), QVariant(Writes));
        backend->syncSettings();
        QCOMPARE(fileText().count(QStringLiteral("counter="), Qt::CaseInsensitive), 1);
        QCOMPARE(onDisk(QStringLiteral("key0")), QVariant(QStringLiteral("3000")));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
