#include "Booking.h"

#include "DateTimeValue.h"
#include "TimeFormat.h"

namespace Booking {

QTime correctedTime(double startzeit, int correction)
{
    const double corrected = startzeit + correction / 1440.0;
    if (corrected < 0)
        return QTime(0, 0);
    return DateTimeValue::toTime(corrected);
}

double bookingTime(double heute, double timeOfDay)
{
    return DateTimeValue::wholeDays(heute) + timeOfDay;
}

QString departureStatement(double bookingTime, int correction, qint32 offenId)
{
    return QStringLiteral("update zeiten set anwesend=false, zeitgeht=%1, bemerkung2=?,"
                          "korrekturgeht=%2 where id=%3")
        .arg(TimeFormat::numberText(bookingTime), QString::number(correction),
             QString::number(offenId));
}

QString departureRemark(const QString &text)
{
    // Characters, as the arrival counts them: one outside the Basic Multilingual Plane is
    // never cut in half, which would store a replacement character instead of the text.
    qsizetype end = 0;
    for (int count = 0; count < remarkLength && end < text.size(); ++count)
        end += text.at(end).isHighSurrogate() && end + 1 < text.size()
                && text.at(end + 1).isLowSurrogate()
            ? 2
            : 1;
    QString remark = text.left(end);
    // A null text would be bound as NULL; the departure writes the empty text.
    if (remark.isNull())
        remark = QString::fromLatin1("", 0);
    return remark;
}

} // namespace Booking
