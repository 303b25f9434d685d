#include "barogram.h"

#include "formatting.h"

#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace {

// The page in tenths of a millimetre: A4 landscape, and the chart on it.
constexpr int PageWidth = 2970;
constexpr int PageHeight = 2100;
const QRectF Chart(230.0, 280.0, 2510.0, 1380.0);
// The image beside the PDF: 150 dots per inch.
constexpr int ImageWidth = 1754;
constexpr int ImageHeight = 1240;
constexpr int ImageDotsPerMetre = 5906;

// The blues of a printed barograph sheet, the trace in the colour of the
// screens, the warnings in their amber.
const QColor MinorLine(0xA8, 0xD0, 0xE6);
const QColor MajorLine(0x3A, 0x7C, 0xA5);
const QColor DayLine(0x1F, 0x3F, 0x66);
const QColor TraceColour(0xE6, 0x32, 0x19);
const QColor AlarmColour(0xFF, 0x8F, 0x00);

constexpr qint64 TwoHours = 7200;

QFont sized(QFont font, int tenthsOfMm, bool bold = false)
{
    font.setPixelSize(tenthsOfMm);
    font.setBold(bold);
    return font;
}

} // namespace

Barogram::Scale Barogram::scale() const
{
    Scale s;
    if (unit == Formatting::UnitKpa) {
        s.minor = 0.1;
        s.major = 1.0;
    } else if (unit == Formatting::UnitInHg) {
        s.minor = 0.01;
        s.major = 0.1;
    }
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const QVector<QPointF> &run : trace) {
        for (const QPointF &p : run) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    }
    if (low > high)
        low = high = Formatting::hpaToUnit(1013.0, unit);
    // At least the forty hPa of a drum's sheet, centred on the week.
    const double least = Formatting::hpaToUnit(40.0, unit);
    if (high - low < least) {
        const double pad = (least - (high - low)) / 2.0;
        low -= pad;
        high += pad;
    }
    s.lower = std::floor(low / s.major + 1e-9) * s.major;
    s.upper = std::ceil(high / s.major - 1e-9) * s.major;
    return s;
}

void Barogram::paint(QPainter &painter) const
{
    if (days.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(0, 0, PageWidth, PageHeight), Qt::white);
    const Scale s = scale();
    const qint64 first = days.first().start;
    const auto xOf = [&](double t) { return Chart.left() + (t - first) / double(end - first) * Chart.width(); };
    const auto yOf = [&](double p) { return Chart.bottom() - (p - s.lower) / (s.upper - s.lower) * Chart.height(); };
    const QLocale locale;

    // The pressure lines, a heavier one every major step, labelled both sides.
    const int perMajor = int(std::lround(s.major / s.minor));
    const int steps = int(std::lround((s.upper - s.lower) / s.minor));
    const int decimals = unit == Formatting::UnitInHg ? 1 : 0;
    painter.setFont(sized(painter.font(), 30));
    for (int k = 0; k <= steps; ++k) {
        const double p = s.lower + k * s.minor;
        const bool major = k % perMajor == 0;
        painter.setPen(QPen(major ? MajorLine : MinorLine, major ? 3.0 : 1.0));
        painter.drawLine(QPointF(Chart.left(), yOf(p)), QPointF(Chart.right(), yOf(p)));
        if (!major)
            continue;
        painter.setPen(Qt::black);
        const QString label = Formatting::fixed(p, decimals);
        painter.drawText(QRectF(0, yOf(p) - 25, Chart.left() - 20, 50), Qt::AlignRight | Qt::AlignVCenter, label);
        painter.drawText(QRectF(Chart.right() + 20, yOf(p) - 25, 300, 50), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    painter.drawText(QRectF(0, Chart.top() - 90, Chart.left() - 20, 50), Qt::AlignRight | Qt::AlignVCenter,
                     Formatting::unitName(unit));

    // A line every two hours, a heavy one at midnight, the day named under its column.
    for (int i = 0; i < days.size(); ++i) {
        const Day &day = days.at(i);
        const qint64 next = i + 1 < days.size() ? days.at(i + 1).start : end;
        painter.setPen(QPen(MinorLine, 1.0));
        for (qint64 t = day.start + TwoHours; t < next; t += TwoHours)
            painter.drawLine(QPointF(xOf(t), Chart.top()), QPointF(xOf(t), Chart.bottom()));
        painter.setPen(QPen(DayLine, 4.0));
        painter.drawLine(QPointF(xOf(day.start), Chart.top()), QPointF(xOf(day.start), Chart.bottom()));
        const QRectF column(xOf(day.start), Chart.bottom() + 15, xOf(next) - xOf(day.start), 55);
        painter.setPen(Qt::black);
        painter.setFont(sized(painter.font(), 32, true));
        painter.drawText(column, Qt::AlignCenter, locale.toString(day.date, monthFirst ? QStringLiteral("ddd MMM d")
                                                                                       : QStringLiteral("ddd d MMM")));
        painter.setFont(sized(painter.font(), 26));
        painter.drawText(QRectF(column.left(), column.bottom() + 10, column.width(), 80), Qt::AlignHCenter | Qt::AlignTop,
                         day.noonPosition);
    }
    painter.setPen(QPen(DayLine, 4.0));
    painter.drawLine(QPointF(xOf(end), Chart.top()), QPointF(xOf(end), Chart.bottom()));

    // Where storm warnings began: a dashed line and a mark over the chart.
    for (qint64 t : alarms) {
        painter.setPen(QPen(AlarmColour, 4.0, Qt::DashLine));
        painter.drawLine(QPointF(xOf(t), Chart.top()), QPointF(xOf(t), Chart.bottom()));
        painter.setPen(Qt::NoPen);
        painter.setBrush(AlarmColour);
        painter.drawPolygon(QPolygonF({QPointF(xOf(t) - 20, Chart.top() - 40), QPointF(xOf(t) + 20, Chart.top() - 40),
                                       QPointF(xOf(t), Chart.top() - 5)}));
        painter.setBrush(Qt::NoBrush);
    }

    painter.setPen(QPen(TraceColour, 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QVector<QPointF> &run : trace) {
        QPainterPath path(QPointF(xOf(run.first().x()), yOf(run.first().y())));
        for (const QPointF &p : run)
            path.lineTo(xOf(p.x()), yOf(p.y()));
        painter.drawPath(path);
    }

    painter.setPen(Qt::black);
    painter.setFont(sized(painter.font(), 50, true));
    painter.drawText(QRectF(Chart.left(), 60, Chart.width(), 80), Qt::AlignLeft | Qt::AlignVCenter,
                     title());
    painter.setFont(sized(painter.font(), 32));
    const QString level = stationLevel ? tr("Station pressure (QFE)") : tr("Sea level pressure (QNH)");
    const QString time = zone == QLatin1String("UTC") ? zone : tr("local time (%1)").arg(zone);
    painter.drawText(QRectF(Chart.left(), 150, Chart.width(), 60), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("%1, %2, %3").arg(level, Formatting::unitName(unit), time));
    painter.setFont(sized(painter.font(), 26));
    QString legend = tr("Under each day: the position at noon.");
    if (!alarms.isEmpty())
        legend += QLatin1Char(' ') + tr("Dashed: where a storm warning began.");
    painter.drawText(QRectF(Chart.left(), 1900, Chart.width(), 50), Qt::AlignLeft | Qt::AlignVCenter, legend);
}

QString Barogram::title() const
{
    if (days.isEmpty())
        return QString();
    const QLocale locale;
    const QString format = monthFirst ? QStringLiteral("MMMM d, yyyy") : QStringLiteral("d MMMM yyyy");
    return tr("Barogram from %1 to %2").arg(locale.toString(days.first().date, format), locale.toString(days.last().date, format));
}

bool Barogram::write(const QString &pdfPath, const QString &pngPath, QString *error) const
{
    QSaveFile pdfFile(pdfPath);
    if (!pdfFile.open(QIODevice::WriteOnly)) {
        *error = pdfPath + QLatin1Char(' ') + pdfFile.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&pdfFile);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        pdf.setResolution(300);
        pdf.setCreator(QStringLiteral("Quillmere"));
        pdf.setTitle(tr("Barogram"));
        QPainter painter(&pdf);
        painter.setWindow(0, 0, PageWidth, PageHeight);
        paint(painter);
    }
    QImage image(ImageWidth, ImageHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(ImageDotsPerMetre);
    image.setDotsPerMeterY(ImageDotsPerMetre);
    {
        QPainter painter(&image);
        painter.setWindow(0, 0, PageWidth, PageHeight);
        paint(painter);
    }
    // Both pages or neither: the PDF is put in place once the image is.
    QSaveFile pngFile(pngPath);
    if (!pngFile.open(QIODevice::WriteOnly) || !image.save(&pngFile, "PNG") || !pngFile.commit()) {
        *error = pngPath + QLatin1Char(' ') + pngFile.errorString();
        return false;
    }
    if (!pdfFile.commit()) {
        *error = pdfPath + QLatin1Char(' ') + pdfFile.errorString();
        return false;
    }
    return true;
}
