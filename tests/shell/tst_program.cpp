#include "Application.h"
#include "BoxRecorder.h"
#include "ClockSeams.h"
#include "Failure.h"
#include "Program.h"
#include "TData.h"
#include "Tfmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void seamsReachTheApplication();
    void closingTheClockWindowAsksForTheEnd();
    void endsByItselfWithoutConfiguration();
};

void TestProgram::seamsReachTheApplication()
{
    BoxRecorder boxes;
    Application application(QStringLiteral("/opt/ZEITERFASSUNG"), boxes);
    const ClockSeams seams = platformSeams(application);

    seams.runHandler([] { throw Failure(QStringLiteral("Keine gültige Zeit")); });
    seams.showMessage(QStringLiteral("Bitte melden"));
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Stop);
    QCOMPARE(boxes.shown[0].text, QStringLiteral("Keine gültige Zeit."));
    QCOMPARE(boxes.shown[1].icon, MessageBoxes::Icon::None);
    QCOMPARE(boxes.shown[1].text, QStringLiteral("Bitte melden"));
    QCOMPARE(boxes.shown[1].title, QStringLiteral("Zeiterfassung"));

    QVERIFY(!application.endRequested());
    seams.requestEnd();
    QVERIFY(application.endRequested());
}

void TestProgram::closingTheClockWindowAsksForTheEnd()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    BoxRecorder boxes;
    Application application(dir.filePath(QStringLiteral("Zeiterfassung")), boxes);
    TData Data(dir.filePath(QStringLiteral("Zeiterfassung")), [&] { application.requestEnd(); });
    Tfmain fmain(Data, platformSeams(application));
    fmain.show();

    fmain.close();

    QVERIFY(application.endRequested());
    // The main window stays on the screen until it is freed at exit.
    QVERIFY(fmain.isVisible());
}

void TestProgram::endsByItselfWithoutConfiguration()
{
    // A copy in a directory of its own, so that no configuration file lies beside it.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("Zeiterfassung"));
    QVERIFY(QFile::copy(QStringLiteral(ZEITERFASSUNG_EXECUTABLE), program));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir.path());
    // The program reads no command line, and neither does Qt for it: an option meant for Qt
    // that names a platform plugin which does not exist would otherwise stop it.
    process.start(program,
                  {QStringLiteral("-platform"), QStringLiteral("nosuchplatform"),
                   QStringLiteral("--ignored"), QStringLiteral("argument")});

    QVERIFY2(process.waitForFinished(30000), "the program waited instead of ending");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    // It writes no files.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({QStringLiteral("Zeiterfassung")}));
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
