#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

// Runs one statement with its "?" values bound in order; throws Failure with the engine's
// text when the engine refuses it. The returned query is positioned before its first row.
QSqlQuery runStatement(const QSqlDatabase &db, const QString &statement,
                       const QVariantList &bindings = {});

// Runs a statement that cannot be prepared, such as a table definition on PostgreSQL.
void runDirectly(const QSqlDatabase &db, const QString &statement);

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
