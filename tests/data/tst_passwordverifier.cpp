// The key derivation behind a protected SQLite database: verifiers written by earlier
// versions must still be recognised, so it is checked against published PBKDF2 values.

#include "PasswordVerifier.h"

#include <QtTest/QtTest>

class TestPasswordVerifier : public QObject
{
    Q_OBJECT

private slots:
    void matches_data();
    void matches();
};

void TestPasswordVerifier::matches_data()
{
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("salt");
    QTest::addColumn<int>("rounds");
    QTest::addColumn<QByteArray>("digest"); // hex
    QTest::addColumn<bool>("matches");

    // PBKDF2-HMAC-SHA256 values of RFC 7914 and of the common test vectors.
    const QByteArray password1 = "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b";
    QTest::newRow("one round") << QByteArray("password") << QByteArray("salt") << 1 << password1
                               << true;
    QTest::newRow("two rounds") << QByteArray("password") << QByteArray("salt") << 2
                                << QByteArray("ae4d0c95af6b46d32d0adff928f06dd02a303f8ef3c251dfd6e2"
                                              "d85a95474c43")
                                << true;
    QTest::newRow("4096 rounds") << QByteArray("password") << QByteArray("salt") << 4096
                                 << QByteArray("c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4"
                                               "963873aa98134a")
                                 << true;
    QTest::newRow("RFC 7914, first block")
        << QByteArray("passwd") << QByteArray("salt") << 1
        << QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc") << true;
    QByteArray salt16(16, '\0');
    for (int i = 0; i < 16; ++i)
        salt16[i] = char(i);
    QTest::newRow("default rounds, binary salt")
        << QByteArray("Geheim!1") << salt16 << PasswordVerifier::defaultRounds
        << QByteArray("c5e3e1199bc1f48da7337ab99ef9e65e1ef05478e2a5cc34b33120aa7b268fb1") << true;
    QTest::newRow("wrong password")
        << QByteArray("Password") << QByteArray("salt") << 1 << password1 << false;
    QTest::newRow("one round too many")
        << QByteArray("password") << QByteArray("salt") << 2 << password1 << false;
}

void TestPasswordVerifier::matches()
{
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, salt);
    QFETCH(int, rounds);
    QFETCH(QByteArray, digest);
    QFETCH(bool, matches);

    const PasswordVerifier verifier {QStringLiteral("pbkdf2-hmac-sha256"), rounds, salt,
                                     QByteArray::fromHex(digest)};
    QCOMPARE(verifier.matches(password), matches);
}

QTEST_APPLESS_MAIN(TestPasswordVerifier)

#include "tst_passwordverifier.moc"
