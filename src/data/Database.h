#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

class QSqlError;

// The engines behind the configured database value: a file path names an SQLite file,
// a postgresql:// or postgres:// URL a PostgreSQL server.
namespace Database {

enum class Engine { SQLite, PostgreSQL };

Engine engineOf(const QString &databasePath);

// Opens an existing time-recording database under the given Qt connection name, shared
// and read-write. A missing SQLite file is looked up by its file name in
// programDirectory. Throws Failure with the layer's or the engine's message; never
// creates a database.
QSqlDatabase open(const QString &connectionName, const QString &databasePath,
                  const QByteArray &password, const QString &programDirectory);

// Creates the tables and the index in a database that does not hold them yet (an SQLite
// file is created; a password is kept as a salted verifier). Throws Failure when the
// database already holds the tables or cannot be reached.
void initialise(const QString &connectionName, const QString &databasePath,
                const QByteArray &password);

// The engine's text of an error, with full stops, blanks and control characters at its
// end removed.
QString engineMessage(const QSqlError &error);

// Runs one statement with its "?" values bound in order; throws Failure with the engine's
// text when the engine refuses it. The returned query is positioned before its first row.
QSqlQuery execute(const QSqlDatabase &db, const QString &statement,
                  const QVariantList &bindings = {});

// Runs a statement as plain text, unprepared: what cannot be prepared, such as a table
// definition on PostgreSQL or a transaction command.
void executeDirectly(const QSqlDatabase &db, const QString &statement);

} // namespace Database
