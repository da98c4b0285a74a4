#include "OfficeSql.h"

#include "Database.h"
#include "Failure.h"

#include <QSqlDriver>
#include <QSqlError>

bool isPostgreSQL(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

// On SQLite the transaction takes the write lock at once: one that starts by reading and
// then wants to write is refused outright, without waiting, when the clock writes meanwhile.
void beginTransaction(QSqlDatabase &db)
{
    if (!isPostgreSQL(db)) {
        Database::executeDirectly(db, QStringLiteral("begin immediate"));
        return;
    }
    if (!db.transaction())
        throw Failure(Database::engineMessage(db.lastError()));
}

void commitTransaction(QSqlDatabase &db)
{
    if (!isPostgreSQL(db)) {
        try {
            Database::executeDirectly(db, QStringLiteral("commit"));
        } catch (const Failure &) {
            rollbackTransaction(db);
            throw;
        }
        return;
    }
    if (!db.commit()) {
        const QString message = Database::engineMessage(db.lastError());
        db.rollback();
        throw Failure(message);
    }
}

void rollbackTransaction(QSqlDatabase &db)
{
    if (!isPostgreSQL(db)) {
        QSqlQuery query(db);
        query.exec(QStringLiteral("rollback"));
        return;
    }
    db.rollback();
}
