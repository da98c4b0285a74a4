#pragma once

#include <QStringList>

#include "Database.h"

// The one place where the tables of the time-recording database are defined, for both
// engines. Unquoted names: PostgreSQL folds them to lower case, SQLite matches them
// without regard to case, so the clock's lower-case statements work on either.
namespace Schema {

// Statements that create Mitarbeiter, Zeiten and the index on Zeiten(MAid, Zeitkommt).
QStringList createStatements(Database::Engine engine);

// The table that keeps the password verifier of a protected SQLite file.
inline constexpr char passwordTable[] = "Kennwortpruefung";
QString createPasswordTable();

} // namespace Schema
