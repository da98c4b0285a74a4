#pragma once

#include <QSqlDatabase>

bool isPostgreSQL(const QSqlDatabase &db);

// Runs work inside one transaction: committed when work returns, rolled back when it
// throws, so a change and its audit rows are stored together or not at all.
template<typename Work> void inTransaction(QSqlDatabase db, Work work);

void beginTransaction(QSqlDatabase &db);
void commitTransaction(QSqlDatabase &db);
void rollbackTransaction(QSqlDatabase &db);

template<typename Work> void inTransaction(QSqlDatabase db, Work work)
{
    beginTransaction(db);
    try {
        work();
    } catch (...) {
        rollbackTransaction(db);
        throw;
    }
    commitTransaction(db);
}
