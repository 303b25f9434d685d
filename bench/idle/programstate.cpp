#include "programstate.h"
#include "floor.h"

#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtMath>

#include <cstdio>

void writeSettings(const QString &dir, quint16 port)
{
    QSettings ini(dir + QStringLiteral("/barograph.ini"), QSettings::IniFormat);
    ini.setValue(QStringLiteral("language"), 0);
    ini.setValue(QStringLiteral("formatMMDD"), 0);
    ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
    ini.setValue(QStringLiteral("SettingUseSerial"), 0);
    ini.setValue(QStringLiteral("SettingUseUdp"), 0);
    ini.setValue(QStringLiteral("SettingUseUdpOut"), 0);
    ini.setValue(QStringLiteral("SettingUseTcp"), 1);
    ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.0.0.1"));
    ini.setValue(QStringLiteral("SettingTcpIpPort"), port);
    ini.setValue(QStringLiteral("SettingUsePos"), 1);
    ini.setValue(QStringLiteral("SettingPosSource"), 2);
}

static const QStringList TableNames = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                                "BARO2D", "BARO4D", "BARO8D", "BAR16D"};

bool fillHistory(const QString &dir, qint64 now)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(dir + QStringLiteral("/barograph.db"));
        ok = db.open();
        QSqlQuery query(db);
        for (const QString &name : TableNames)
            ok = ok && query.exec(QStringLiteral("CREATE TABLE %1 (TIME INTEGER primary key, LON FLOAT, "
                                                 "LAT FLOAT, COG FLOAT, SOG FLOAT, PRE FLOAT, ELE FLOAT, "
                                                 "OFS FLOAT)").arg(name));
        ok = ok && db.transaction();
        query.prepare(QStringLiteral("INSERT INTO BARO30M VALUES (?, -3.2075, 47.502, 123.0, 5.2, ?, 0, 0)"));
        for (int i = 0; i < TableRows && ok; ++i) {
            query.addBindValue(now - 2 * (TableRows - i));
            query.addBindValue(1012.6 + 0.6 * i / TableRows + 0.05 * qSin(i / 40.0));
            ok = query.exec();
        }
        ok = ok && db.commit();
        if (!ok)
            std::fprintf(stderr, "history: %s\n", qPrintable(db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

int rowsSince(const QString &dir, qint64 since)
{
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(dir + QStringLiteral("/barograph.db"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM BARO30M WHERE TIME >= %1").arg(since))
                && query.next())
                rows = query.value(0).toInt();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return rows;
}
