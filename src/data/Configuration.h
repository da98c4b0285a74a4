#pragma once

#include <QByteArray>
#include <QString>

// What the configuration file beside the executable says: where the database is and its
// password. Values are 8-bit texts, exactly as they stand in the file.
struct Configuration
{
    QByteArray databasePath = QByteArrayLiteral("*"); // "*": no database configured
    QByteArray password; // already unscrambled
};

// The configuration file of an executable: its path with the extension replaced by ".ini".
QString configurationPathFor(const QString &executablePath);

// Reads section "db" of the configuration file beside the executable. Never fails:
// whatever is missing takes its default.
Configuration ReadConfiguration(const QString &executablePath);

// Turns a stored password into the clear one and back (the same operation both ways): each
// byte is combined by exclusive-or with the one-byte key 0xA5. The admin command prepares
// stored passwords with this same routine, so the key lives only here. Stored passwords hold
// at most 255 characters; a longer text is still combined to its end.
QByteArray Unscramble(const QByteArray &text);
