#include "OfficeChecks.h"

#include "Failure.h"
#include "OfficeTime.h"

QString requireReason(const QString &reason)
{
    const QString trimmed = reason.trimmed();
    if (trimmed.isEmpty())
        throw Failure(QStringLiteral("a change needs a reason (--reason)"));
    return trimmed;
}

void requireNotFuture(double value, double now)
{
    if (value > now)
        throw Failure(QStringLiteral("%1 lies in the future").arg(OfficeTime::format(value)));
}

void requireOrder(double arrival, double departure)
{
    if (OfficeTime::minutesBetween(arrival, departure) < 0)
        throw Failure(QStringLiteral("departure %1 lies before the arrival %2")
                          .arg(OfficeTime::format(departure), OfficeTime::format(arrival)));
}
