#pragma once

#include "MonthReport.h"

#include <QByteArray>
#include <QString>

// The monthly report as a file that a spreadsheet opens as it is: UTF-8 with a byte order
// mark, fields separated by semicolons, hours with a decimal comma, lines ended by CR LF.
// One row per employee and day, then the employee's totals in a row "Summe".
namespace CsvExport {

QByteArray render(const MonthReportData &report);
// Writes the file whole or not at all; throws Failure when it cannot.
void write(const QString &path, const MonthReportData &report);

} // namespace CsvExport
