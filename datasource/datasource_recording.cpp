#include "datasource.h"
bool DataSource::recordSample(const int &, const double &, const double &, const double &, const double &, const double &) { return false; }
void DataSource::updateTrend() {}
int DataSource::getTrend() { return trendCode; }
QString DataSource::getTrend3h() { return QStringLiteral("notOK"); }
void DataSource::update(QtCharts::QAbstractSeries *, int) {}
QString DataSource::calcInfo(QPointF, int) { return {}; }
void DataSource::updateChart(int) {}
QPointF DataSource::getValueAt(double, int, QVariant) { return {}; }
