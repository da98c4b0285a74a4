#pragma once

#include <QString>
#include <QTime>

// The arithmetic of a booking: the corrected time, the booking time and the departure
// statement. Plain functions, so every rule is checked without a window.
namespace Booking {

// The time of day that Zeit shows for a correction in minutes, worked out afresh from the
// captured time each time. Past midnight it shows the time after midnight. A window opened
// in the first minutes of the day stops at 00:00: the booking stays on the day the window
// was opened, and any earlier time there would lie a day off.
QTime correctedTime(double startzeit, int correction);

// Whole days of the captured date plus the time of day read back from Zeit.
double bookingTime(double heute, double timeOfDay);

// The departure statement for the booking time, the correction and the open record. The
// remark travels as the one bound value, so no remark can change what the statement does.
QString departureStatement(double bookingTime, int correction, qint32 offenId);

// The remark as the departure binds it: its first 50 characters, and an empty remark as
// empty text, never as NULL.
QString departureRemark(const QString &text);

} // namespace Booking
