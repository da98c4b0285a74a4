#include "Configuration.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void readsSectionDb_data();
    void readsSectionDb();
    void missingFileGivesDefaults_data();
    void missingFileGivesDefaults();
    void survivesHostileFiles_data();
    void survivesHostileFiles();
    void configurationPath_data();
    void configurationPath();
    void unscrambleTwiceGivesTextBack();
    void storedPasswordReadBackCompletely_data();
    void storedPasswordReadBackCompletely();

private:
    // Writes content as the configuration file of an executable in a dotted folder and
    // returns that executable's path.
    QString executableWith(const QByteArray &content);

    QTemporaryDir m_dir;
};

QString TestConfiguration::executableWith(const QByteArray &content)
{
    const QString folder = m_dir.filePath(QStringLiteral("tools.new"));
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/clock.ini"));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the configuration fixture");
    return folder + QStringLiteral("/clock");
}

void TestConfiguration::readsSectionDb_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("password");

    const QByteArray stored = Unscramble("geheim");
    QTest::newRow("plain") << "[db]\nmain=C:\\daten\\zeit.mdb\npw=" + stored + "\n"
                           << QByteArray("C:\\daten\\zeit.mdb") << QByteArray("geheim");
    QTest::newRow("section and keys in capitals")
        << "[DB]\nMAIN=x.mdb\nPw=" + stored << QByteArray("x.mdb") << QByteArray("geheim");
    QTest::newRow("blanks around names and values")
        << "  [db]  \n \t main \t=  \t C:\\a b\\x.mdb \t \n  pw =  " + stored + "  "
        << QByteArray("C:\\a b\\x.mdb") << QByteArray("geheim");
    QTest::newRow("double quotes") << QByteArray("[db]\nmain=\"C:\\a b\\x.mdb\"")
                                   << QByteArray("C:\\a b\\x.mdb") << QByteArray();
    QTest::newRow("single quotes")
        << QByteArray("[db]\nmain='x.mdb'") << QByteArray("x.mdb") << QByteArray();
    QTest::newRow("blanks inside quotes kept")
        << QByteArray("[db]\nmain= \"  x  \" ") << QByteArray("  x  ") << QByteArray();
    QTest::newRow("only one pair of quotes dropped")
        << QByteArray("[db]\nmain=\"\"x\"\"") << QByteArray("\"x\"") << QByteArray();
    QTest::newRow("empty quotes") << QByteArray("[db]\nmain=\"\"") << QByteArray() << QByteArray();
    QTest::newRow("opening quote only")
        << QByteArray("[db]\nmain=\"x.mdb") << QByteArray("\"x.mdb") << QByteArray();
    QTest::newRow("mixed quotes") << QByteArray("[db]\nmain=\"x.mdb'") << QByteArray("\"x.mdb'")
                                  << QByteArray();
    QTest::newRow("lone quote") << QByteArray("[db]\nmain=\"") << QByteArray("\"") << QByteArray();
    QTest::newRow("equals sign in value")
        << QByteArray("[db]\nmain=a=b.mdb") << QByteArray("a=b.mdb") << QByteArray();
    QTest::newRow("star written explicitly")
        << "[db]\nmain=*\npw=" + stored << QByteArray("*") << QByteArray("geheim");
    QTest::newRow("empty value is no default")
        << QByteArray("[db]\nmain=\npw=") << QByteArray() << QByteArray();
    QTest::newRow("missing section")
        << QByteArray("[dbx]\nmain=x.mdb\npw=x") << QByteArray("*") << QByteArray();
    QTest::newRow("missing keys") << QByteArray("[db]\nmains=x.mdb\np w=x") << QByteArray("*")
                                  << QByteArray();
    QTest::newRow("keys before any section")
        << QByteArray("main=x.mdb\n[db]\n") << QByteArray("*") << QByteArray();
    QTest::newRow("commented out")
        << QByteArray("[db]\n;main=x.mdb") << QByteArray("*") << QByteArray();
    QTest::newRow("line without equals sign skipped")
        << QByteArray("[db]\nmain\nmain=x.mdb") << QByteArray("x.mdb") << QByteArray();
    QTest::newRow("text after the section's bracket")
        << QByteArray("[db] ; Datenbank\nmain=x.mdb") << QByteArray("x.mdb") << QByteArray();
    QTest::newRow("other sections ignored")
        << QByteArray("[a]\nmain=a.mdb\n[db]\nmain=x.mdb\n[b]\nmain=b.mdb\npw=x")
        << QByteArray("x.mdb") << QByteArray();
    QTest::newRow("first key wins")
        << QByteArray("[db]\nmain=a.mdb\nMAIN=b.mdb") << QByteArray("a.mdb") << QByteArray();
    QTest::newRow("first section wins")
        << QByteArray("[db]\nmain=a.mdb\n[DB]\nmain=b.mdb") << QByteArray("a.mdb") << QByteArray();
    QTest::newRow("second section not read")
        << "[db]\npw=" + stored + "\n[db]\nmain=b.mdb" << QByteArray("*") << QByteArray("geheim");
    QTest::newRow("CR LF line ends") << "[db]\r\nmain=x.mdb\r\npw=" + stored + "\r\n"
                                     << QByteArray("x.mdb") << QByteArray("geheim");
    QTest::newRow("CR line ends") << "[db]\rmain=x.mdb\rpw=" + stored + "\r" << QByteArray("x.mdb")
                                  << QByteArray("geheim");
    QTest::newRow("mixed line ends and blank lines") << "\r\n\n[db]\r\r\n\nmain=x.mdb\n\r\rpw="
            + stored << QByteArray("x.mdb") << QByteArray("geheim");
    QTest::newRow("UTF-8 byte order mark")
        << QByteArray("\xEF\xBB\xBF[db]\nmain=x.mdb") << QByteArray("x.mdb") << QByteArray();
    QTest::newRow("8-bit path kept as bytes") << QByteArray("[db]\nmain=C:\\B\xFC"
                                                            "ro\\zeit.mdb")
                                              << QByteArray("C:\\B\xFC"
                                                            "ro\\zeit.mdb")
                                              << QByteArray();

    const QByteArray long2047(2047, 'x');
    QTest::newRow("2047 characters kept") << "[db]\nmain=" + long2047 << long2047 << QByteArray();
    QTest::newRow("2048 characters cut")
        << "[db]\nmain=" + long2047 + "y" << long2047 << QByteArray();
    QTest::newRow("quoted long value cut after the quotes")
        << "[db]\nmain=\"" + QByteArray(3000, 'x') + "\"" << long2047 << QByteArray();
}

void TestConfiguration::readsSectionDb()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, password);

    const Configuration configuration = ReadConfiguration(executableWith(content));
    QCOMPARE(configuration.databasePath, path);
    QCOMPARE(configuration.password, password);
}

void TestConfiguration::missingFileGivesDefaults_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("no file") << "none";
    QTest::newRow("folder named like the file") << "folder";
    QTest::newRow("named pipe, never opened") << "pipe";
}

void TestConfiguration::missingFileGivesDefaults()
{
    QFETCH(QString, kind);
    const QString executable = m_dir.filePath(kind);
    const QString ini = executable + QStringLiteral(".ini");
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(ini));
    else if (kind == QLatin1String("pipe"))
        QCOMPARE(mkfifo(QFile::encodeName(ini).constData(), 0600), 0);

    const Configuration configuration = ReadConfiguration(executable);
    QCOMPARE(configuration.databasePath, QByteArray("*"));
    QCOMPARE(configuration.password, QByteArray());
}

void TestConfiguration::survivesHostileFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("path");

    QRandomGenerator random(20261211);
    QByteArray garbage(1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);

    QTest::newRow("binary garbage only") << garbage << QByteArray("*");
    QTest::newRow("binary garbage before the section")
        << garbage + "\n[db]\nmain=x.mdb" << QByteArray("x.mdb");

    QByteArray manySections;
    for (int i = 0; manySections.size() < 5 * 1024 * 1024; ++i)
        manySections += "[s" + QByteArray::number(i) + "]\r\nkey=value\r\n";
    QTest::newRow("several megabytes before the section")
        << manySections + "[db]\r\nmain=x.mdb" << QByteArray("x.mdb");
    QTest::newRow("several megabytes after the section")
        << "[db]\r\nmain=x.mdb\r\n" + manySections << QByteArray("x.mdb");

    const QByteArray longLine(3 * 1024 * 1024, 'x');
    QTest::newRow("very long line before the section")
        << longLine + "\n[db]\nmain=x.mdb" << QByteArray("x.mdb");
    QTest::newRow("very long value") << "[db]\nmain=" + longLine << QByteArray(2047, 'x');
    QTest::newRow("very long section name")
        << "[" + longLine + "]\nmain=a.mdb\n[db]\nmain=x.mdb" << QByteArray("x.mdb");
    QTest::newRow("megabytes of one line end")
        << QByteArray(2 * 1024 * 1024, '\r') + "[db]" + QByteArray(1024 * 1024, '\n') + "main=x.mdb"
        << QByteArray("x.mdb");

    QTest::newRow("zero bytes around the section")
        << QByteArrayLiteral("\0\0\n[db]\n\0\nmain=x.mdb\n\0") << QByteArray("x.mdb");
    QTest::newRow("zero byte ends the value")
        << QByteArrayLiteral("[db]\nmain=x.mdb\0tail\n") << QByteArray("x.mdb");
    QTest::newRow("zero byte ends the key name")
        << QByteArrayLiteral("[db]\nmain\0x=a.mdb\nmain=x.mdb") << QByteArray("a.mdb");
    QTest::newRow("only zero bytes") << QByteArray(4096, '\0') << QByteArray("*");
}

void TestConfiguration::survivesHostileFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, path);

    QCOMPARE(ReadConfiguration(executableWith(content)).databasePath, path);
}

void TestConfiguration::configurationPath_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("ini");

    QTest::newRow("extension replaced") << "/opt/zeit/clock.exe"
                                        << "/opt/zeit/clock.ini";
    QTest::newRow("no extension") << "/opt/zeit/Zeiterfassung"
                                  << "/opt/zeit/Zeiterfassung.ini";
    QTest::newRow("dotted folder, no extension") << "/opt/tools.new/clock"
                                                 << "/opt/tools.new/clock.ini";
    QTest::newRow("dotted folder with extension") << "/opt/tools.new/clock.bin"
                                                  << "/opt/tools.new/clock.ini";
    QTest::newRow("several dots, last one counts") << "/opt/clock.v2.exe"
                                                   << "/opt/clock.v2.ini";
    QTest::newRow("trailing dot") << "/opt/clock."
                                  << "/opt/clock.ini";
    QTest::newRow("Windows path") << "X:\\tools\\clock.exe"
                                  << "X:\\tools\\clock.ini";
    QTest::newRow("Windows dotted folder, no extension") << "X:\\tools.new\\clock"
                                                         << "X:\\tools.new\\clock.ini";
    QTest::newRow("drive-relative name") << "X:clock"
                                         << "X:clock.ini";
    QTest::newRow("dot before the drive colon") << "a.b:clock"
                                                << "a.b:clock.ini";
}

void TestConfiguration::configurationPath()
{
    QFETCH(QString, executable);
    QFETCH(QString, ini);

    QCOMPARE(configurationPathFor(executable), ini);
}

void TestConfiguration::unscrambleTwiceGivesTextBack()
{
    for (int length = 0; length <= 255; ++length) {
        QByteArray text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = char(i * 37 + length);
        const QByteArray stored = Unscramble(text);
        QCOMPARE(stored.size(), length);
        if (length > 0)
            QVERIFY2(stored != text, "the key must change the text");
        QCOMPARE(Unscramble(stored), text);
    }
}

void TestConfiguration::storedPasswordReadBackCompletely_data()
{
    QTest::addColumn<QByteArray>("password");

    // Every printable ASCII character, blanks and quotes at both ends included: stored, none
    // of them may turn into something the INI layout drops or breaks at.
    QByteArray printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    QByteArray full255 = " " + printable.repeated(3);
    full255.truncate(254);
    full255 += '"';

    QTest::newRow("255 characters, blanks and quotes at the ends") << full255;
    QTest::newRow("longer than stored passwords may be") << printable.repeated(10).left(1000);
}

void TestConfiguration::storedPasswordReadBackCompletely()
{
    QFETCH(QByteArray, password);

    const Configuration configuration
        = ReadConfiguration(executableWith("[db]\r\npw=" + Unscramble(password) + "\r\n"));
    QCOMPARE(configuration.password, password);
}

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
