// Stored records in a real database: the record list, deletion and export (read
// back by Python and xmllint), and the data tab in a real window, by the mouse.
#include "desktop.h"
#include "screenharness.h"
#include "settingsstore.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>
#include <ctime>
#include <sys/resource.h>

using namespace TestSupport;

namespace {

const qint64 T0 = 1733407509; // 14:05:09 UTC, 5 December 2024, the newest row of year.sql

// Settings as "key=value" words (French with its locale, as the language
// switch sets it), then rows of the table, "TIME,LON,LAT,COG,SOG,PRE,ELE,OFS / ...",
// statements, or the file of tests/data that fills it.
void prepare(const QString &settings, const QString &rows, const QString &table = QStringLiteral("BARO3H"))
{
    for (const QString &word : settings.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        g_backEnd->setSetting(word.section(QLatin1Char('='), 0, 0), word.section(QLatin1Char('='), 1));
    if (settings.contains(QLatin1String("language=1")))
        QLocale::setDefault(QLocale(QStringLiteral("fr_FR")));
    for (const QString &row : rows.split(QStringLiteral(" / "))) {
        historySql(row.endsWith(QLatin1String(".sql")) ? dataFile(row)
                   : row.startsWith(QLatin1String("INSERT")) ? row
                                                            : "INSERT INTO " + table + " VALUES (" + row + ")");
    }
}

void callExport(const QString &call, const QString &name, int table = 1)
{
    QMetaObject::invokeMethod(g_dataSource, call.toLatin1().constData(), Q_ARG(int, table), Q_ARG(QString, name));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

    MessageLog *m_log = nullptr;
    ScreenHarness *m_screen = nullptr;
    QList<QUrl> m_opened;
    QLocale m_locale;
    QTemporaryDir m_home;

    bool click(const QString &name)
    {
        QQuickItem *item = nullptr;
        const auto shown = [&] {
            item = m_screen->findItem(m_screen->window()->contentItem(), name);
            return item && item->isVisible() && m_screen->window()->contentItem()->contains(item->mapToScene(item->boundingRect().center()));
        };
        return QTest::qWaitFor(shown) && (m_screen->click(item), true);
    }
    // The data tab over a full BARO3H and BAR16D and a year of the archive, then a row of the table list.
    bool openTable(const QString &row)
    {
        m_screen = new ScreenHarness();
        historySql(dataFile(QStringLiteral("year.sql")));
        historySql(QStringLiteral("INSERT INTO BAR16D SELECT * FROM BARO3H"));
        historySql(dataFile(QStringLiteral("archive_year.sql")));
        return m_screen->waitExposed() && click(QStringLiteral("tabData")) && (row.isEmpty() || click(row));
    }
    QAbstractItemModel *records() const { return m_screen->find<QObject>("recordList")->property("model").value<QAbstractItemModel *>(); }

private slots:
    void initTestCase()
    {
        ScreenHarness::registerTypes();
        qputenv("TZ", "Europe/Paris");
        tzset();
        qputenv("HOME", m_home.path().toLocal8Bit());
        QDir(m_home.path()).mkpath(QStringLiteral("Documents"));
        Desktop::setOpener([this](const QUrl &url) { m_opened << url; return true; });
    }
    void init()
    {
        Clock::setWallClock((T0 + 768) * 1000);
        m_log = new MessageLog();
        m_opened.clear();
    }
    void cleanup()
    {
        delete std::exchange(m_screen, nullptr);
        QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
        QLocale::setDefault(m_locale);
        const QStringList problems = ScreenHarness::qmlProblems(*m_log);
        delete m_log;
        QCOMPARE(problems, QStringList());
    }

    void removeKey_data() { addRows(QStringLiteral("record_keys.tsv")); }
    void removeKey()
    {
        HistoryFixture fixture(T0);
        prepare({}, "-5,1,2,3,4,995,10,0.5 / 100,1,2,3,4,1100,10,0.5 / 200,1,2,3,4,1200,10,0.5 / 300,1,2,3,4,1300,10,0.5");
        historySql("INSERT INTO BARO6H VALUES (200, 1, 2, 3, 4, 1000, 10, 0.5)");
        QVariantList expected;
        for (const QVariant &entry : g_dataSource->getTableContent(1))
            expected << (entry.toMap().value("key") == cell("removed") ? QVariantList() : QVariantList{entry});
        g_dataSource->removeKey(1, cell("key"));
        QCOMPARE(g_dataSource->getTableContent(1), expected);
        QCOMPARE(historyRowCount(QStringLiteral("BARO6H")), 1);
        QCOMPARE(m_log->count(cell("message")), 1);
    }

    void listAndExport_data() { addRows(QStringLiteral("records.tsv")); }
    void listAndExport()
    {
        HistoryFixture fixture(T0);
        const QStringList call = cell("call").split(QLatin1Char(' ')); // function, how the file is named, table or last day
        const int table = call.value(2, QStringLiteral("1")).toInt();
        const QString checked = table == DataSource::ArchiveTable || call.at(0).contains(QRegularExpression("Logbook|Barogram"))
                                  ? "ARCHIVE1H" : "BARO3H";
        prepare(cell("settings"), cell("rows"), checked);
        if (call.at(0) == QLatin1String("getTableContent")) {
            const QVariantMap entry = g_dataSource->getTableContent(table).value(0).toMap();
            QCOMPARE(entry.value("desc").toString(), QString(cell("expected")).replace("\\n", "\n"));
            return;
        }
        const QString path = QDir::current().absoluteFilePath(cell("file"));
        const QString how = call.value(1); // "bare": the path without its extension
        const QString name = how == "default" ? QString() : how == "url" ? QUrl::fromLocalFile(path).toString()
                           : how == "bare" ? path.section(QLatin1Char('.'), 0, -2) : path;
        const qint64 lastDay = call.value(2).toLongLong();
        if (call.at(0) == QLatin1String("exportLogbook"))
            g_dataSource->exportLogbook(name);
        else if (call.at(0) == QLatin1String("exportBarogram"))
            g_dataSource->exportBarogram(name, lastDay);
        else
            callExport(call.at(0), name, table);
        if (cell("expected") == QLatin1String("refused")) { // the live database, whole
            QCOMPARE(m_opened, QList<QUrl>());
            QVERIFY(contents(path).startsWith("SQLite format 3") && historyRowCount("BARO3H") == 1);
            QCOMPARE(m_log->count("export refused, a file of the program's own:"), 1);
            return;
        }
        QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        if (!cell("expected").startsWith(QLatin1String("read back"))) {
            QCOMPARE(contents(path), (cell("expected").split(QLatin1Char('|')).join(QLatin1Char('\n')) + '\n').toLatin1());
            return;
        }
        // The barogram: its texts (after "read back: ") and the week that ends on the day of its last day, in the
        // settings of the file.
        g_backEnd->settings()->sync();
        const QString check = call.at(0) == "exportLogbook" ? "LOGBOOK" : call.at(0) == "exportBarogram" ? "BAROGRAM" : checked;
        QCOMPARE(QProcess::execute("/usr/bin/python3", {QUILLMERE_SOURCE_DIR "/tests/exportcheck.py", path, "barograph.db", check,
                                                        cell("expected").section(QLatin1String(": "), 1),
                                                        QString::number(lastDay ? lastDay : Clock::currentSecsSinceEpoch())}),
                 0);
    }

    // A disk that fills up, a folder that is gone, a table that cannot be
    // read: the sailor's older file stays as it was, and nothing is opened.
    void failedExportKeepsTheOldFile()
    {
        HistoryFixture fixture(T0);
        prepare({}, QStringLiteral("year.sql"));
        const QString path = QDir::current().absoluteFilePath(QStringLiteral("night.out"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("previous export\n") == 16 && old.flush());
        rlimit saved;
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit full = {1000, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        for (const QString call : {"exportCsv", "exportGpx"}) {
            setrlimit(RLIMIT_FSIZE, &full);
            callExport(call, path);
            setrlimit(RLIMIT_FSIZE, &saved);
            callExport(call, QDir::current().absoluteFilePath(QStringLiteral("gone/night.out")));
        }
        historySql(QStringLiteral("DROP TABLE BARO3H"));
        callExport(QStringLiteral("exportGpx"), path);
        QCOMPARE(m_log->count(QStringLiteral("unable to open")), 4);
        QCOMPARE(m_log->count(QStringLiteral("db query error in Csv")), 1);
        QCOMPARE(contents(path), QByteArray("previous export\n"));
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList({"barograph.db", "barograph.db-shm", "barograph.db-wal", "barograph.ini", "night.out"}));
        QCOMPARE(m_opened, QList<QUrl>());
    }

    // A full table: delegates only for the rows on screen; one row deleted.
    void chooseSixteenDays()
    {
        QVERIFY(openTable({}));
        QVERIFY(click(QStringLiteral("table8")));
        QTRY_COMPARE(m_screen->find<QObject>(QStringLiteral("tableLabel"))->property("text").toString(), "16d");
        QVariantList entries = g_dataSource->getTableContent(8);
        QCOMPARE(records()->rowCount(), 1800);
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(records()->index(i, 0).data(records()->roleNames().key("desc")), entries.at(i).toMap().value("desc"));
        QQuickItem *list = m_screen->find<QQuickItem>(QStringLiteral("recordList"));
        QVERIFY(list->property("contentItem").value<QQuickItem *>()->childItems().size() < 30);
        QVERIFY(click(QStringLiteral("record1")));
        QVERIFY(click(QStringLiteral("removeRecord1")));
        entries.removeAt(1);
        QCOMPARE(g_dataSource->getTableContent(8), entries);
        QCOMPARE(records()->rowCount(), 1799);
        QCOMPARE(list->property("currentIndex").toInt(), -1);
    }

    void questions_data() { addRows(QStringLiteral("questions.tsv")); }
    void questions()
    {
        QVERIFY(openTable(cell("button") == "emptyTableButton" ? QStringLiteral("table1") : QString()) && click(cell("button")));
        QMessageBox *box = ScreenHarness::activeDialog<QMessageBox>();
        QVERIFY(box);
        QTest::mouseClick(box->button(cell("answer") == "Ok" ? QMessageBox::Ok : QMessageBox::Cancel), Qt::LeftButton);
        const QString rows = QStringLiteral("%1 %2 %3").arg(historyRowCount("BARO3H")).arg(historyRowCount("BAR16D"));
        QCOMPARE(rows.arg(records()->rowCount()), cell("rows"));
        QCOMPARE(m_log->lines().filter(QStringLiteral("empty one table OK")).join('|'), cell("emptied"));
        QVERIFY(g_dataSource->recordSample(768, 0.0, 0.0, 0.0, 0.0, 1013.25)); // into the emptied table

        QCOMPARE(historyTimes("BARO3H").last(), T0 + 768);
    }

    void saveDialog_data() { addRows(QStringLiteral("savedialog.tsv")); }
    void saveDialog()
    {
        const QString format = cell("format");
        QVERIFY(openTable(cell("table")) && click(cell("button")));
        if (cell("button") == "barogramButton") { // the week before the last
            QQuickItem *week = m_screen->find<QQuickItem>(QStringLiteral("weekEnd"));
            QTRY_VERIFY(week && week->isVisible() && week->property("opacity").toDouble() == 1.0);
            const QString title = QStringLiteral("Barogram from %1 November 2024 to %2 December 2024");
            QCOMPARE(m_screen->find<QObject>(QStringLiteral("weekTitle"))->property("text").toString(), title.arg(29).arg(5));
            m_screen->click(week->property("down").value<QObject *>()->property("indicator").value<QQuickItem *>());
            QCOMPARE(m_screen->find<QObject>(QStringLiteral("weekTitle"))->property("text").toString(), title.arg(28).arg(4));
            QVERIFY(click(QStringLiteral("weekOk")));
        }
        QFileDialog *dialog = ScreenHarness::activeDialog<QFileDialog>();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Please choose a file"));
        const QString extension = cell("proposed").section(QLatin1Char('.'), -1);
        QCOMPARE(dialog->nameFilters(), QStringList(extension == "gpx" ? "GPS files (*.gpx)" : extension == "pdf"
                                                        ? "PDF files (*.pdf)" : "CSV files (*.csv)"));
        QCOMPARE(dialog->directory().absolutePath(), m_home.filePath(QStringLiteral("Documents")));
        QLineEdit *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QCOMPARE(name->text(), cell("proposed"));
        if (cell("typed").isEmpty()) {
            QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            QTRY_VERIFY(m_log->contains(QStringLiteral("filediag rejected")));
            QCOMPARE(m_opened, QList<QUrl>());
            return;
        }
        // The names the folder offers pop up late on a busy machine and
        // would take the Return: typed blind, as a user who knows the name.
        name->setCompleter(nullptr);
        name->clear();
        QTest::keyClicks(name, QDir::current().absoluteFilePath(cell("typed")));
        QPushButton *save = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save);
        QTRY_VERIFY(save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
        const QString path = QDir::current().absoluteFilePath(cell("file"));
        QTRY_COMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        QTRY_COMPARE(m_screen->find<QObject>(QStringLiteral("exportStatus"))->property("text").toString(), "Exported to " + path);
        if (format != "gpx")
            QVERIFY2(contents(path).startsWith(format.toLatin1()), contents(path).left(300).constData());
        else
            QCOMPARE(QProcess::execute("/usr/bin/python3", {QUILLMERE_SOURCE_DIR "/tests/exportcheck.py", path, "barograph.db",
                                                            cell("table") == "table1" ? "BARO3H" : "ARCHIVE1H"}), 0);
        QVERIFY(format != "%PDF" || contents(QString(path).replace(".pdf", ".png")).startsWith("\x89PNG"));
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
