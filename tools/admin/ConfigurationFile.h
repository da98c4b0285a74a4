#pragma once

#include "Configuration.h"

#include <QByteArray>
#include <QString>

// Writing and reading the configuration file the clock reads beside its executable.
namespace ConfigurationFile {

// Why a value cannot go into section "db" and come back unchanged through
// ReadConfiguration; empty when it can. The password is judged in its scrambled form,
// which is what the file holds.
QString databasePathProblem(const QByteArray &databasePath);
QString passwordProblem(const QByteArray &password);

// The program whose configuration file iniPath is. Throws Failure when the name does not
// end in ".ini", which no program reads.
QString executablePathFor(const QString &iniPath);

// Writes [db] main=... pw=<scrambled password>, replacing the file as a whole. Refuses
// (Failure) values that would not read back unchanged.
void write(const QString &iniPath, const QByteArray &databasePath, const QByteArray &password);

// Reads a configuration file as the clock would; a missing file is a Failure here rather
// than "no database configured".
Configuration read(const QString &iniPath);

} // namespace ConfigurationFile
