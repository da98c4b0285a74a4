#pragma once

#include <QString>

// The title of every message box the program shows, taken from the name the program was
// started under: "ZEITERFASSUNG.EXE" gives "Zeiterfassung". The file name without its
// directory is cut before its first "."; the first character keeps its case, every other
// one is put in lower case.
QString applicationTitleOf(const QString &executablePath);
