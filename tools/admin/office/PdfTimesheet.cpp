#include "PdfTimesheet.h"

#include "DateTimeValue.h"
#include "Failure.h"
#include "OfficeTime.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace PdfTimesheet {

namespace {

// At 72 dots per inch one unit of the painter is one typographic point.
constexpr int resolution = 72;
const QColor plainBar(90, 120, 160);
const QColor flaggedBar(200, 70, 60);

QFont font(qreal points, bool bold = false)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString weekday(const QDate &date)
{
    static const char *const names[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    return QString::fromLatin1(names[date.dayOfWeek() - 1]);
}

QString departureText(const DayRow &day)
{
    if (!day.lastDeparture)
        return QString();
    const QDateTime geht = DateTimeValue::toDateTime(*day.lastDeparture);
    return geht.date() == day.date ? geht.toString(QStringLiteral("HH:mm"))
                                   : geht.toString(QStringLiteral("dd.MM. HH:mm"));
}

class Page
{
public:
    Page(QPainter &painter, qreal width)
        : m_painter(painter)
        , m_width(width)
    {
    }

    void text(qreal x, qreal width, const QString &text, const QFont &f,
              Qt::Alignment align = Qt::AlignLeft)
    {
        m_painter.setFont(f);
        // Measured on the PDF itself: the screen's metrics would cut texts short.
        const QFontMetricsF metrics(f, m_painter.device());
        const QString shown = metrics.elidedText(text, Qt::ElideRight, width);
        m_painter.drawText(QRectF(x, m_y, width, metrics.height()), align | Qt::AlignVCenter,
                           shown);
    }

    void advance(qreal points) { m_y += points; }
    qreal y() const { return m_y; }
    qreal width() const { return m_width; }
    QPainter &painter() { return m_painter; }

private:
    QPainter &m_painter;
    qreal m_width;
    qreal m_y = 0;
};

struct Column
{
    const char *title;
    qreal width;
    Qt::Alignment align;
};

const Column columns[] = {
    {"Datum", 58, Qt::AlignLeft},        {"Tag", 24, Qt::AlignLeft},
    {"Kommt", 38, Qt::AlignLeft},        {"Geht", 58, Qt::AlignLeft},
    {"Arbeitszeit", 54, Qt::AlignRight}, {"Pause", 40, Qt::AlignRight},
    {"Über 8 Std", 50, Qt::AlignRight},  {"Hinweise", 0, Qt::AlignLeft},
};

void row(Page &page, const QStringList &cells, const QFont &f)
{
    qreal x = 0;
    const int count = static_cast<int>(std::size(columns));
    for (int i = 0; i < count; ++i) {
        const qreal width = columns[i].width > 0 ? columns[i].width : page.width() - x;
        // A little room between right-aligned numbers and the next column.
        const qreal inner = columns[i].align & Qt::AlignRight ? width - 8 : width - 4;
        page.text(x, inner, cells.value(i), f, columns[i].align);
        x += width;
    }
    page.advance(QFontMetricsF(f, page.painter().device()).height() + 1.5);
}

void chart(Page &page, const EmployeeMonth &month, const QDate &first, qreal height)
{
    QPainter &painter = page.painter();
    const int days = first.daysInMonth();
    const qreal left = 28; // room for the hour labels
    const qreal top = page.y();
    const qreal plotHeight = height - 14; // room for the day numbers
    const qreal slot = (page.width() - left) / days;
    qint64 most = 12 * 60;
    for (const DayRow &day : month.days)
        most = std::max(most, day.workedMinutes);
    const qreal perMinute = plotHeight / static_cast<qreal>(most);
    const qreal baseline = top + plotHeight;

    const QFont small = font(6);
    painter.setFont(small);
    painter.setPen(QPen(Qt::black, 0.5));
    painter.drawLine(QPointF(left, baseline), QPointF(page.width(), baseline));
    for (const int hours : {8, 10}) {
        const qreal y = baseline - hours * 60 * perMinute;
        painter.setPen(QPen(Qt::gray, 0.5, Qt::DashLine));
        painter.drawLine(QPointF(left, y), QPointF(page.width(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - 5, left - 3, 10), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("%1 h").arg(hours));
    }
    for (const DayRow &day : month.days) {
        const int index = day.date.day() - 1;
        // A flagged day without counted time (an open record) still shows, as a stub.
        const qreal barHeight
            = day.workedMinutes == 0 && day.flags != 0 ? 2.0 : day.workedMinutes * perMinute;
        painter.fillRect(
            QRectF(left + index * slot + slot * 0.15, baseline - barHeight, slot * 0.7, barHeight),
            day.flags != 0 ? flaggedBar : plainBar);
    }
    painter.setPen(Qt::black);
    for (int d = 1; d <= days; ++d)
        painter.drawText(QRectF(left + (d - 1) * slot, baseline + 2, slot, 10), Qt::AlignCenter,
                         QString::number(d));
    page.advance(height);
}

void employeePage(Page &page, const EmployeeMonth &month, const QDate &first)
{
    page.text(0, page.width(),
              QStringLiteral("Stundenzettel %1").arg(MonthReport::monthTitle(first)),
              font(16, true));
    page.advance(24);
    page.text(0, page.width(),
              QStringLiteral("%1 (%2)").arg(month.employee.name(), month.employee.logon), font(11));
    page.advance(22);

    const QFont body = font(8);
    QStringList titles;
    for (const Column &column : columns)
        titles.append(QString::fromUtf8(column.title));
    row(page, titles, font(8, true));
    page.painter().setPen(QPen(Qt::black, 0.5));
    page.painter().drawLine(QPointF(0, page.y()), QPointF(page.width(), page.y()));
    page.advance(2);
    for (const DayRow &day : month.days)
        row(page,
            {day.date.toString(QStringLiteral("dd.MM.yyyy")), weekday(day.date),
             DateTimeValue::toDateTime(day.firstArrival).toString(QStringLiteral("HH:mm")),
             departureText(day), OfficeTime::hoursMinutes(day.workedMinutes),
             OfficeTime::hoursMinutes(day.breakMinutes),
             OfficeTime::hoursMinutes(day.over8Minutes()), day.notes().join(QStringLiteral(", "))},
            body);
    if (month.days.isEmpty())
        row(page, {QStringLiteral("Keine Buchungen")}, body);
    page.painter().drawLine(QPointF(0, page.y()), QPointF(page.width(), page.y()));
    page.advance(8);

    const QFont totals = font(9, true);
    const auto total = [&](const QString &label, const QString &value) {
        page.text(0, 150, label, totals);
        page.text(150, 200, value, totals);
        page.advance(14);
    };
    total(QStringLiteral("Summe Arbeitszeit"),
          QStringLiteral("%1 Std (%2)")
              .arg(OfficeTime::decimalHours(month.workedMinutes),
                   OfficeTime::hoursMinutes(month.workedMinutes)));
    total(QStringLiteral("Über 8 Std"),
          QStringLiteral("%1 Std").arg(OfficeTime::decimalHours(month.over8Minutes)));
    total(QStringLiteral("Arbeitstage"), QString::number(month.workDays));
    total(QStringLiteral("Tage mit Hinweis"), QString::number(month.flaggedDays));
    total(QStringLiteral("Offene Datensätze"), QString::number(month.openRecords));
    page.advance(10);
    page.text(0, page.width(), QStringLiteral("Stunden je Tag (rot: Tag mit Hinweis)"), font(8));
    page.advance(14);
    chart(page, month, first, 130);
}

} // namespace

void write(const QString &path, const MonthReportData &report)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw Failure(QStringLiteral("%1: painting a PDF needs a QGuiApplication").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setResolution(resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        writer.setTitle(
            QStringLiteral("Stundenzettel %1").arg(MonthReport::monthTitle(report.month)));
        writer.setCreator(QStringLiteral("zeiterfassung-admin"));
        QPainter painter;
        if (!painter.begin(&writer))
            throw Failure(QStringLiteral("%1: cannot write the PDF").arg(path));
        const qreal width = writer.pageLayout().paintRectPixels(resolution).width();
        bool firstPage = true;
        for (const EmployeeMonth &month : report.employees) {
            if (!firstPage)
                writer.newPage();
            firstPage = false;
            Page page(painter, width);
            employeePage(page, month, report.month);
        }
        if (report.employees.isEmpty()) {
            Page page(painter, width);
            page.text(
                0, width,
                QStringLiteral("Keine Buchungen im %1").arg(MonthReport::monthTitle(report.month)),
                font(12));
        }
        painter.end();
    }
    if (!file.commit())
        throw Failure(QStringLiteral("%1: %2").arg(path, file.errorString()));
}

} // namespace PdfTimesheet
