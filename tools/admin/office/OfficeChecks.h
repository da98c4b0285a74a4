#pragma once

#include <QString>

// The refusals that closing and correcting share. Each throws Failure with the text the
// office reads.

// The trimmed reason; an empty one is refused, since a change without one is not traceable.
QString requireReason(const QString &reason);
// A booked time may not lie after the moment of the change.
void requireNotFuture(double value, double now);
// A departure may not lie before its arrival.
void requireOrder(double arrival, double departure);
