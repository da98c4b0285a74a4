#pragma once

#include <QString>

// The text the global error display shows for a failure's message: a full stop is added
// when the message ends in a character whose code lies above that of "." (letters,
// digits, umlauts), so "Datei fehlt" reads "Datei fehlt." while "Fertig.", "Halt!",
// "(x)", a trailing blank and the empty message stay as they are.
QString errorTextOf(const QString &message);
