#pragma once

#include "MonthReport.h"

#include <QString>

// The monthly report as a PDF timesheet: one A4 page per employee with the days, the
// month's totals and a small bar chart of the hours per day. Needs a QGuiApplication
// (fonts); no screen.
namespace PdfTimesheet {

// Writes the file whole or not at all; throws Failure when it cannot.
void write(const QString &path, const MonthReportData &report);

} // namespace PdfTimesheet
