#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <optional>

// One attendance record as the office sees it.
struct ZeitenRecord
{
    int id = 0;
    int maid = 0;
    bool anwesend = false;
    double zeitkommt = 0;
    std::optional<double> zeitgeht; // no value while the record is open
    int korrekturKommt = 0;
    int korrekturgeht = 0;
    QString bemerkung;
    QString bemerkung2;

    bool open() const { return anwesend; }
};

namespace ZeitenRecords {

// The column list that fromQuery reads, in its order; prefix names the table ("z.").
QString columns(const QString &prefix = QString());
// Reads the columns listed by columns() starting at the query's column first.
ZeitenRecord fromQuery(const QSqlQuery &query, int first = 0);
// The record with this ID; throws Failure when there is none. Inside a transaction,
// forChange locks the row on a server until the transaction ends, so nobody changes it
// between the checks and the update.
ZeitenRecord load(const QSqlDatabase &db, int id, bool forChange = false);

} // namespace ZeitenRecords
