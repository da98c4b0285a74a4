#include "ApplicationTitle.h"
#include "ErrorText.h"

#include <QTest>

class TestShellTexts : public QObject
{
    Q_OBJECT

private slots:
    void applicationTitle_data();
    void applicationTitle();
    void errorText_data();
    void errorText();
};

void TestShellTexts::applicationTitle_data()
{
    QTest::addColumn<QString>("executablePath");
    QTest::addColumn<QString>("title");

    QTest::newRow("capitals with extension") << "/opt/ze/ZEITERFASSUNG.EXE"
                                             << "Zeiterfassung";
    QTest::newRow("no extension") << "/usr/bin/Zeiterfassung"
                                  << "Zeiterfassung";
    QTest::newRow("first letter keeps lower case") << "/usr/bin/zeitErfassung"
                                                   << "zeiterfassung";
    QTest::newRow("cut before the first dot") << "/x/Zeit.Erfassung.exe"
                                              << "Zeit";
    QTest::newRow("dot in the directory only") << "/opt/v1.2/ZEIT"
                                               << "Zeit";
    QTest::newRow("no directory") << "ZEIT.EXE"
                                  << "Zeit";
    QTest::newRow("umlauts") << QString::fromUtf8("/x/ÄRGERÖ.EXE") << QString::fromUtf8("Ärgerö");
    QTest::newRow("name starting with a dot") << "/x/.zeit"
                                              << "";
}

void TestShellTexts::applicationTitle()
{
    QFETCH(QString, executablePath);
    QFETCH(QString, title);
    QCOMPARE(applicationTitleOf(executablePath), title);
}

void TestShellTexts::errorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("full stop") << "Fehler."
                               << "Fehler.";
    QTest::newRow("exclamation mark") << "Fehler!"
                                      << "Fehler!";
    QTest::newRow("closing parenthesis") << "Fehler (3)"
                                         << "Fehler (3)";
    QTest::newRow("blank") << "Fehler "
                           << "Fehler ";
    QTest::newRow("hyphen, just below the full stop") << "Fehler -"
                                                      << "Fehler -";
    QTest::newRow("letter") << "Datenbank nicht gefunden"
                            << "Datenbank nicht gefunden.";
    QTest::newRow("digit") << "Fehler 3051"
                           << "Fehler 3051.";
    QTest::newRow("slash, just above the full stop") << "C:/"
                                                     << "C:/.";
    QTest::newRow("umlaut") << QString::fromUtf8("Zeit ungültig: ä")
                            << QString::fromUtf8("Zeit ungültig: ä.");
}

void TestShellTexts::errorText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(errorTextOf(message), shown);
}

QTEST_APPLESS_MAIN(TestShellTexts)
#include "tst_shelltexts.moc"
