#include "PasswordVerifier.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace {

const QString pbkdf2Sha256 = QStringLiteral("pbkdf2-hmac-sha256");

// PBKDF2 with HMAC-SHA-256 (RFC 8018) for a key as long as one hash: its first block.
// Written out here rather than taken from Qt Network, whose loading with the Kerberos
// and proxy libraries behind it cost every start of the clock more than a millisecond.
QByteArray derive(const QByteArray &password, const QByteArray &salt, int rounds)
{
    QMessageAuthenticationCode hmac(QCryptographicHash::Sha256, password);
    hmac.addData(salt);
    hmac.addData("\0\0\0\1", 4); // the block's number, big-endian
    QByteArray block = hmac.result();
    QByteArray key = block;
    for (int round = 1; round < rounds; ++round) {
        hmac.reset();
        hmac.addData(block);
        block = hmac.result();
        char *out = key.data();
        const char *in = block.constData();
        for (qsizetype i = 0; i < key.size(); ++i)
            out[i] ^= in[i];
    }
    return key;
}

} // namespace

PasswordVerifier PasswordVerifier::make(const QByteArray &password, int rounds)
{
    QByteArray salt(16, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()),
                                          salt.size() / sizeof(quint32));
    return {pbkdf2Sha256, rounds, salt, derive(password, salt, rounds)};
}

bool PasswordVerifier::isKnownAlgorithm() const
{
    // A round count far beyond any we make would stall the start for hours.
    return algorithm == pbkdf2Sha256 && rounds > 0 && rounds <= maximumRounds && !salt.isEmpty()
        && !digest.isEmpty();
}

bool PasswordVerifier::matches(const QByteArray &password) const
{
    if (!isKnownAlgorithm())
        return false;
    const QByteArray candidate = derive(password, salt, rounds);
    if (candidate.size() != digest.size())
        return false;
    // Compared without an early exit, so the time taken tells nothing about the digest.
    unsigned char difference = 0;
    for (qsizetype i = 0; i < digest.size(); ++i)
        difference |= static_cast<unsigned char>(candidate[i] ^ digest[i]);
    return difference == 0;
}
