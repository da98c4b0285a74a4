#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>
#include <memory>

// The data module: the program's only access to the time-recording database. It holds
// one connection ("datenbank") and two datasets on it: "Zeiten", used to insert arrival
// records, and "query", reused for every select and for every action statement.
//
// Every operation that fails throws a Failure whose message is the text the user reads.
class TData
{
public:
    // executablePath is the running program's full path: the configuration file lies
    // beside it, and a database file that is missing at its configured path is looked up
    // in its directory. requestEnd asks the application to end (no database configured).
    TData(const QString &executablePath, std::function<void()> requestEnd);
    ~TData();

    TData(const TData &) = delete;
    TData &operator=(const TData &) = delete;

    // Reads the configuration and opens the connection; with no database configured it
    // makes an end request instead.
    void DataModuleCreate();

    bool connected() const;

    // Opens "query" on a select. Values in bindings are bound, in order, to the "?"
    // markers of the statement, so user input never becomes statement text.
    void OpenSelect(const QString &statement, const QVariantList &bindings = {});
    // The exact number of rows of the open result; 0 for an empty one.
    int RecordCount();
    // A column of the current row, found without regard to letter case. NULL reads as
    // 0, empty text, false and 0 (the date-time value of 30.12.1899 00:00).
    qint32 FieldAsInteger(const QString &name);
    QString FieldAsString(const QString &name);
    bool FieldAsBoolean(const QString &name);
    double FieldAsDateTime(const QString &name);
    void CloseSelect();

    // Inserts one Zeiten record; the k-th value fills the k-th persistent field
    // (MAid, Anwesend, Zeitkommt, KorrekturKommt, Bemerkung, Zeitgeht, Korrekturgeht,
    // Bemerkung2). Stores the whole record or nothing.
    void InsertZeiten(const QVariantList &values);

    // Runs one action statement, whole or not at all; returns the count of affected rows.
    int ExecuteStatement(const QString &statement, const QVariantList &bindings = {});

private:
    class Private;
    std::unique_ptr<Private> d;
};
