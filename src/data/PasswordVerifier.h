#pragma once

#include <QByteArray>
#include <QString>

// SQLite has no password of its own. A protected SQLite database keeps a salted key
// derivation of its password, so the right password can be recognised without being
// stored. It keeps honest clients out; it does not encrypt the file.
struct PasswordVerifier
{
    QString algorithm; // "pbkdf2-hmac-sha256"
    int rounds = 0;
    QByteArray salt; // raw bytes
    QByteArray digest; // raw bytes

    // Rounds of a new verifier: about 25 ms on a current workstation, paid at every start.
    static constexpr int defaultRounds = 15000;
    static constexpr int maximumRounds = 1000000;

    static PasswordVerifier make(const QByteArray &password, int rounds = defaultRounds);

    bool isKnownAlgorithm() const;
    bool matches(const QByteArray &password) const;
};
