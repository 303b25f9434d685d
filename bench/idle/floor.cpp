#include "floor.h"

#include <QApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QtCharts/QXYSeries>
#include <QtMath>

namespace {

constexpr int FloorIntervalMs = 2000; // the program's sample cycle

class SeriesFiller : public QObject
{
    Q_OBJECT

public slots:
    void fill(QtCharts::QAbstractSeries *series)
    {
        auto *xy = qobject_cast<QtCharts::QXYSeries *>(series);
        if (!xy)
            return;
        ++m_round;
        QVector<QPointF> points(TableRows);
        for (int i = 0; i < TableRows; ++i) {
            const double minutes = -i * 2.0 / 60.0;
            points[i] = QPointF(minutes, 1013.0 + 0.4 * qSin((i + m_round) / 60.0));
        }
        xy->replace(points);
    }

private:
    int m_round = 0;
};

const char *const FloorQml = R"(
import QtQuick 2.15
import QtQuick.Window 2.15
import QtCharts 2.3

Window {
    visible: true
    width: Screen.width * 0.7
    height: Screen.height * 0.7
    ChartView {
        anchors.fill: parent
        antialiasing: true
        legend.visible: false
        ValueAxis { id: axisX; min: -30; max: 0; labelFormat: "%dm"; tickCount: 7 }
        ValueAxis { id: axisY; min: 1012; max: 1014; labelFormat: "%0.2f"; tickCount: 6 }
        SplineSeries { id: series; axisX: axisX; axisYRight: axisY; color: "#E63219"; width: 2 }
        Timer {
            interval: FLOOR_INTERVAL; repeat: true; running: true; triggeredOnStart: true
            onTriggered: filler.fill(series)
        }
    }
}
)";

} // namespace

int runFloor(int argc, char *argv[])
{
    QApplication app(argc, argv);
    SeriesFiller filler;
    QQmlApplicationEngine engine;
    engine.rootContext()->setContextProperty(QStringLiteral("filler"), &filler);
    engine.loadData(QString::fromLatin1(FloorQml)
                        .replace(QStringLiteral("FLOOR_INTERVAL"), QString::number(FloorIntervalMs))
                        .toUtf8());
    if (engine.rootObjects().isEmpty())
        return 1;
    return app.exec();
}

#include "floor.moc"
