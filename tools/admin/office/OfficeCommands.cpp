#include "OfficeCommands.h"

#include "AdminConnection.h"
#include "AdminTool.h"
#include "Bookings.h"
#include "Closing.h"
#include "Correction.h"
#include "CsvExport.h"
#include "DateTimeValue.h"
#include "Failure.h"
#include "MonthReport.h"
#include "OfficeTime.h"
#include "OpenRecords.h"
#include "PdfTimesheet.h"
#include "Presence.h"
#include "ZeitenRecord.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QTextStream>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr auto sources = DatabaseOptions::Sources::DbOrIni;

// The options every office command shares, and the help lines they carry.
class OfficeCommand : public AdminCommand
{
public:
    explicit OfficeCommand(const ChangeContext &context)
        : m_context(context)
    {
    }

protected:
    QString databaseSynopsis() const { return DatabaseOptions::synopsis(sources); }
    void addDatabaseOptions(QCommandLineParser &parser) const
    {
        DatabaseOptions::add(parser, sources);
    }

    ChangeContext m_context;
};

void addValueOption(QCommandLineParser &parser, const QString &name, const QString &help,
                    const QString &value)
{
    parser.addOption(QCommandLineOption(name, help, value));
}

// The one record ID after the command word.
int recordId(const QCommandLineParser &parser)
{
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        throw UsageError(QStringLiteral("missing record ID"));
    if (arguments.size() > 1)
        throw UsageError(QStringLiteral("unexpected argument '%1'").arg(arguments.at(1)));
    bool ok = false;
    const int id = arguments.first().toInt(&ok);
    if (!ok || id <= 0)
        throw UsageError(QStringLiteral("'%1' is no record ID").arg(arguments.first()));
    return id;
}

void noArguments(const QCommandLineParser &parser)
{
    if (!parser.positionalArguments().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
}

// An option that may be left out, but not given empty.
QString optionalValue(const QCommandLineParser &parser, const QString &option)
{
    return parser.isSet(option) ? requiredValue(parser, option) : QString();
}

double timeValue(const QCommandLineParser &parser, const QString &option)
{
    const QString text = requiredValue(parser, option);
    const std::optional<double> value = OfficeTime::parse(text);
    if (!value)
        throw UsageError(
            QStringLiteral("--%1 '%2' is no time of the form YYYY-MM-DD HH:MM").arg(option, text));
    return *value;
}

std::optional<QDate> dateValue(const QCommandLineParser &parser, const QString &option)
{
    if (!parser.isSet(option))
        return std::nullopt;
    const QString text = parser.value(option);
    const std::optional<QDate> date = OfficeTime::parseDate(text);
    if (!date)
        throw UsageError(
            QStringLiteral("--%1 '%2' is no date of the form YYYY-MM-DD").arg(option, text));
    return date;
}

QString nameOf(const Employee &employee, int maid)
{
    return employee.id != 0 ? employee.name()
                            : QStringLiteral("(no employee with ID %1)").arg(maid);
}

QString englishFlags(const DayRow &day)
{
    QStringList flags;
    if (day.flags & DayRow::OpenRecord)
        flags << (day.openRecords == 1 ? QStringLiteral("open record")
                                       : QStringLiteral("%1 open records").arg(day.openRecords));
    if (day.flags & DayRow::DepartureBeforeArrival)
        flags << QStringLiteral("departure before arrival");
    if (day.flags & DayRow::Over10Hours)
        flags << QStringLiteral("over 10 hours");
    if (day.flags & DayRow::BreakUnder45)
        flags << QStringLiteral("break under 45 minutes");
    if (day.flags & DayRow::BreakUnder30)
        flags << QStringLiteral("break under 30 minutes");
    return flags.join(QStringLiteral(", "));
}

// The last departure of a day; with its date when it lies on a later one.
QString departureText(const DayRow &day)
{
    if (!day.lastDeparture)
        return QString();
    const QString text = OfficeTime::format(*day.lastDeparture);
    return DateTimeValue::toDate(*day.lastDeparture) == day.date ? text.mid(11) : text;
}

class OpenCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("open")}; }
    QString synopsis() const override { return databaseSynopsis(); }
    QString summary() const override
    {
        return QStringLiteral(
            "Lists the open records, oldest first: ID, logon, name, arrival, age in hours and "
            "minutes, and 'blocks the clock' for an employee's latest record from another day, "
            "'other day' for an older one.");
    }
    void addOptions(QCommandLineParser &parser) const override { addDatabaseOptions(parser); }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        noArguments(parser);
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        const QVector<OpenRecord> records
            = OpenRecords::list(connection.database(), m_context.now());
        for (const OpenRecord &open : records) {
            out << open.record.id << '\t' << open.employee.logon << '\t'
                << nameOf(open.employee, open.record.maid) << '\t'
                << OfficeTime::format(open.record.zeitkommt) << '\t'
                << OfficeTime::hoursMinutes(open.ageMinutes) << '\t'
                << (open.blocksClock        ? QStringLiteral("blocks the clock")
                        : open.fromOtherDay ? QStringLiteral("other day")
                                            : QStringLiteral("today"))
                << '\n';
        }
    }
};

class CloseCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("close")}; }
    bool takesArguments() const override { return true; }
    QString synopsis() const override
    {
        return QStringLiteral("ID ") + databaseSynopsis()
            + QStringLiteral(" --at \"YYYY-MM-DD HH:MM\" --reason TEXT");
    }
    QString summary() const override
    {
        return QStringLiteral("Books the missing departure of open record ID, so that the clock "
                              "opens for the employee again; the change goes to the audit trail.");
    }
    void addOptions(QCommandLineParser &parser) const override
    {
        parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("The open record."));
        addDatabaseOptions(parser);
        addValueOption(parser, QStringLiteral("at"),
                       QStringLiteral("The departure, local time, not before the arrival."),
                       QStringLiteral("YYYY-MM-DD HH:MM"));
        addValueOption(parser, QStringLiteral("reason"),
                       QStringLiteral("Why the departure is booked by hand."),
                       QStringLiteral("TEXT"));
    }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        const int id = recordId(parser);
        const double at = timeValue(parser, QStringLiteral("at"));
        const QString reason = requiredValue(parser, QStringLiteral("reason"));
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        Closing(connection.database(), m_context).close(id, at, reason);
        out << "record " << id << " closed at " << OfficeTime::format(at) << '\n';
    }
};

class CorrectCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("correct")}; }
    bool takesArguments() const override { return true; }
    QString synopsis() const override
    {
        return QStringLiteral("ID ") + databaseSynopsis()
            + QStringLiteral(" [--arrival \"YYYY-MM-DD HH:MM\"] [--departure \"YYYY-MM-DD "
                             "HH:MM\"] --reason TEXT");
    }
    QString summary() const override
    {
        return QStringLiteral("Changes the booked arrival or departure of record ID; the old "
                              "value stays in the audit trail.");
    }
    void addOptions(QCommandLineParser &parser) const override
    {
        parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("The record."));
        addDatabaseOptions(parser);
        addValueOption(parser, QStringLiteral("arrival"),
                       QStringLiteral("The new arrival, local time."),
                       QStringLiteral("YYYY-MM-DD HH:MM"));
        addValueOption(parser, QStringLiteral("departure"),
                       QStringLiteral("The new departure, local time."),
                       QStringLiteral("YYYY-MM-DD HH:MM"));
        addValueOption(parser, QStringLiteral("reason"), QStringLiteral("Why the time is changed."),
                       QStringLiteral("TEXT"));
    }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        const int id = recordId(parser);
        std::optional<double> arrival;
        std::optional<double> departure;
        if (parser.isSet(QStringLiteral("arrival")))
            arrival = timeValue(parser, QStringLiteral("arrival"));
        if (parser.isSet(QStringLiteral("departure")))
            departure = timeValue(parser, QStringLiteral("departure"));
        if (!arrival && !departure)
            throw UsageError(QStringLiteral("give --arrival, --departure or both"));
        const QString reason = requiredValue(parser, QStringLiteral("reason"));
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        Correction(connection.database(), m_context).correct(id, arrival, departure, reason);
        out << "record " << id << " corrected\n";
    }
};

class HistoryCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("history")}; }
    bool takesArguments() const override { return true; }
    QString synopsis() const override { return QStringLiteral("ID ") + databaseSynopsis(); }
    QString summary() const override
    {
        return QStringLiteral(
            "Shows record ID as it stands, then its changes, oldest first: time of the change, "
            "user, column, old value, new value and reason.");
    }
    void addOptions(QCommandLineParser &parser) const override
    {
        parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("The record."));
        addDatabaseOptions(parser);
    }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        const int id = recordId(parser);
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        const ZeitenRecord record = ZeitenRecords::load(connection.database(), id);
        out << "record " << record.id << "\temployee " << record.maid << "\tarrival "
            << OfficeTime::format(record.zeitkommt) << "\tdeparture "
            << (record.open()         ? QStringLiteral("open")
                    : record.zeitgeht ? OfficeTime::format(*record.zeitgeht)
                                      : QStringLiteral("none"))
            << '\n';
        const QVector<AuditEntry> entries = AuditTrail::history(connection.database(), id);
        for (const AuditEntry &entry : entries) {
            const auto shown = [](const QString &value) {
                return value.isNull() ? QStringLiteral("(none)") : value;
            };
            out << OfficeTime::formatPrecise(entry.zeitpunkt) << '\t' << entry.benutzer << '\t'
                << entry.spalte << '\t' << shown(entry.alterWert) << " -> "
                << shown(entry.neuerWert) << '\t' << entry.grund << '\n';
        }
    }
};

class PresentCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("present")}; }
    QString synopsis() const override { return databaseSynopsis(); }
    QString summary() const override
    {
        return QStringLiteral("Lists who is in now (latest record open since today): logon, "
                              "name and arrival.");
    }
    void addOptions(QCommandLineParser &parser) const override { addDatabaseOptions(parser); }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        noArguments(parser);
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        const QVector<OpenRecord> present
            = Presence::present(connection.database(), m_context.now());
        for (const OpenRecord &open : present)
            out << open.employee.logon << '\t' << open.employee.name() << '\t'
                << OfficeTime::format(open.record.zeitkommt) << '\n';
    }
};

class ReportCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("report")}; }
    QString synopsis() const override
    {
        return databaseSynopsis()
            + QStringLiteral(" --month YYYY-MM [--employee LOGON] [--csv FILE] [--pdf FILE]");
    }
    QString summary() const override
    {
        return QStringLiteral(
            "The month's working time per employee and day: first arrival, last departure, "
            "worked time of the closed records, break, time over 8 hours and flags (open "
            "records, over 10 hours, too short a break), with totals. --csv writes it for a "
            "spreadsheet, --pdf as a timesheet of one page per employee.");
    }
    void addOptions(QCommandLineParser &parser) const override
    {
        addDatabaseOptions(parser);
        addValueOption(parser, QStringLiteral("month"), QStringLiteral("The month."),
                       QStringLiteral("YYYY-MM"));
        addValueOption(parser, QStringLiteral("employee"),
                       QStringLiteral("Only this employee (default: everyone with records)."),
                       QStringLiteral("LOGON"));
        addValueOption(parser, QStringLiteral("csv"), QStringLiteral("Also write this CSV file."),
                       QStringLiteral("FILE"));
        addValueOption(parser, QStringLiteral("pdf"), QStringLiteral("Also write this PDF file."),
                       QStringLiteral("FILE"));
    }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        noArguments(parser);
        const QString monthText = requiredValue(parser, QStringLiteral("month"));
        const std::optional<QDate> month = OfficeTime::parseMonth(monthText);
        if (!month)
            throw UsageError(
                QStringLiteral("--month '%1' is no month of the form YYYY-MM").arg(monthText));
        const QString csv = optionalValue(parser, QStringLiteral("csv"));
        const QString pdf = optionalValue(parser, QStringLiteral("pdf"));
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        const MonthReportData report = MonthReport::build(
            connection.database(), *month, optionalValue(parser, QStringLiteral("employee")));
        if (!csv.isEmpty())
            CsvExport::write(csv, report);
        if (!pdf.isEmpty())
            PdfTimesheet::write(pdf, report);
        print(report, out);
    }

private:
    static void print(const MonthReportData &report, QTextStream &out)
    {
        for (const EmployeeMonth &month : report.employees) {
            out << month.employee.logon << '\t' << month.employee.name() << '\t'
                << report.month.toString(QStringLiteral("yyyy-MM")) << '\n';
            for (const DayRow &day : month.days) {
                out << "  " << day.date.toString(Qt::ISODate) << '\t'
                    << DateTimeValue::toTime(day.firstArrival).toString(QStringLiteral("HH:mm"))
                    << '\t' << departureText(day) << '\t'
                    << OfficeTime::hoursMinutes(day.workedMinutes) << '\t' << "break "
                    << OfficeTime::hoursMinutes(day.breakMinutes) << '\t' << englishFlags(day)
                    << '\n';
            }
            out << "  total\t" << OfficeTime::hoursMinutes(month.workedMinutes) << " hours\t"
                << OfficeTime::hoursMinutes(month.over8Minutes) << " over 8 hours\t"
                << month.workDays << " days\t" << month.flaggedDays << " flagged\t"
                << month.openRecords << " open\n";
        }
    }
};

class BookingsCommand : public OfficeCommand
{
public:
    using OfficeCommand::OfficeCommand;
    QStringList words() const override { return {QStringLiteral("bookings")}; }
    QString synopsis() const override
    {
        return databaseSynopsis()
            + QStringLiteral(" [--employee LOGON] [--from YYYY-MM-DD] [--to YYYY-MM-DD]");
    }
    QString summary() const override
    {
        return QStringLiteral(
            "Lists the raw records by arrival: ID, logon, name, arrival, departure, 'open' or "
            "'closed', the two corrections and the two remarks, separated by tabs.");
    }
    void addOptions(QCommandLineParser &parser) const override
    {
        addDatabaseOptions(parser);
        addValueOption(parser, QStringLiteral("employee"), QStringLiteral("Only this employee."),
                       QStringLiteral("LOGON"));
        addValueOption(parser, QStringLiteral("from"),
                       QStringLiteral("Arrivals on or after this day."),
                       QStringLiteral("YYYY-MM-DD"));
        addValueOption(parser, QStringLiteral("to"),
                       QStringLiteral("Arrivals on or before this day."),
                       QStringLiteral("YYYY-MM-DD"));
    }
    void run(const QCommandLineParser &parser, QTextStream &out) const override
    {
        noArguments(parser);
        BookingFilter filter;
        filter.logon = optionalValue(parser, QStringLiteral("employee"));
        filter.from = dateValue(parser, QStringLiteral("from"));
        filter.to = dateValue(parser, QStringLiteral("to"));
        if (filter.from && filter.to && *filter.from > *filter.to)
            throw UsageError(QStringLiteral("--from lies after --to"));
        const AdminConnection connection(DatabaseOptions::target(parser, sources));
        const QVector<Booking> bookings = Bookings::list(connection.database(), filter);
        for (const Booking &booking : bookings) {
            const ZeitenRecord &r = booking.record;
            // Tabs and line breaks in a remark would shift the columns of the listing.
            const auto flat = [](QString text) {
                return text.replace(QLatin1Char('\t'), QLatin1Char(' '))
                    .replace(QLatin1Char('\n'), QLatin1Char(' '))
                    .replace(QLatin1Char('\r'), QLatin1Char(' '));
            };
            out << r.id << '\t' << booking.employee.logon << '\t'
                << nameOf(booking.employee, r.maid) << '\t' << OfficeTime::format(r.zeitkommt)
                << '\t' << (r.zeitgeht && !r.open() ? OfficeTime::format(*r.zeitgeht) : QString())
                << '\t' << (r.open() ? "open" : "closed") << '\t' << r.korrekturKommt << '\t'
                << r.korrekturgeht << '\t' << flat(r.bemerkung) << '\t' << flat(r.bemerkung2)
                << '\n';
        }
    }
};

} // namespace

void addOfficeCommands(AdminTool &tool, const ChangeContext &context)
{
    tool.add(std::make_unique<OpenCommand>(context));
    tool.add(std::make_unique<CloseCommand>(context));
    tool.add(std::make_unique<CorrectCommand>(context));
    tool.add(std::make_unique<HistoryCommand>(context));
    tool.add(std::make_unique<PresentCommand>(context));
    tool.add(std::make_unique<ReportCommand>(context));
    tool.add(std::make_unique<BookingsCommand>(context));
}

ChangeContext systemChangeContext()
{
    // The audit trail names the account that ran the command; the password database knows it
    // even where the environment has been changed.
    QString user;
    if (const passwd *entry = getpwuid(geteuid()))
        user = QString::fromLocal8Bit(entry->pw_name);
    if (user.isEmpty())
        user = qEnvironmentVariable("USER", QStringLiteral("uid %1").arg(geteuid()));
    return ChangeContext {user, [] { return QDateTime::currentDateTime(); }};
}
