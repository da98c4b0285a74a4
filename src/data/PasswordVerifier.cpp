#include "PasswordVerifier.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

const QString pbkdf2Sha256 = QStringLiteral("pbkdf2-hmac-sha256");
constexpr int digestLength = 32;

QByteArray derive(const QByteArray &password, const QByteArray &salt, int rounds)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password, salt, rounds,
                                              digestLength);
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
