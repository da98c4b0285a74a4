#include "OfficeSql.h"

#include "Database.h"
#include "Failure.h"

#include <QSqlDriver>
#include <QSqlError>

QSqlQuery runStatement(const QSqlDatabase &db, const QString &statement,
                       const QVariantList &bindings)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw Failure(Database::engineMessage(query.lastError()));
    for (const QVariant &value : bindings)
        query.addBindValue(value);
    if (!query.exec())
        throw Failure(Database::engineMessage(query.lastError()));
    return query;
}

void runDirectly(const QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw Failure(Database::engineMessage(query.lastError()));
}

bool isPostgreSQL(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

void beginTransaction(QSqlDatabase &db)
{
    if (!db.transaction())
        throw Failure(Database::engineMessage(db.lastError()));
}

void commitTransaction(QSqlDatabase &db)
{
    if (!db.commit()) {
        const QString message = Database::engineMessage(db.lastError());
        db.rollback();
        throw Failure(message);
    }
}

void rollbackTransaction(QSqlDatabase &db)
{
    db.rollback();
}
