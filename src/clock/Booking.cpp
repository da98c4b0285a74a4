#include "Booking.h"

#include "DateTimeValue.h"
#include "TextLimits.h"
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
    // Cut as the arrival cuts its remark.
    QString remark = TextLimits::firstCharacters(text, TextLimits::remarkLength);
    // A null text would be bound as NULL; the departure writes the empty text.
    if (remark.isNull())
        remark = QString::fromLatin1("", 0);
    return remark;
}

} // namespace Booking
