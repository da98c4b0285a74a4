#include "Application.h"
#include "BoxRecorder.h"
#include "Failure.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include <memory>
#include <stdexcept>

namespace {

const QString executablePath = QStringLiteral("/opt/ze/ZEITERFASSUNG.EXE");
const QString title = QStringLiteral("Zeiterfassung");

// What the fake components went through; outlives them.
struct Seen
{
    QStringList steps;
    int paints = 0;
    int keys = 0;
    bool watchdogFired = false;
};

class FakeData
{
public:
    FakeData(Seen &seen, std::function<void()> inCreate)
        : m_seen(seen)
        , m_inCreate(std::move(inCreate))
    {
        m_seen.steps << "data built";
    }
    ~FakeData() { m_seen.steps << "data freed"; }

    void DataModuleCreate()
    {
        m_seen.steps << "DataModuleCreate";
        if (m_inCreate)
            m_inCreate();
    }

private:
    Seen &m_seen;
    std::function<void()> m_inCreate;
};

class FakeWindow : public QWidget
{
public:
    FakeWindow(Application &application, Seen &seen, std::function<void(FakeWindow &)> inCreate)
        : m_application(application)
        , m_seen(seen)
        , m_inCreate(std::move(inCreate))
    {
        m_seen.steps << "window built";
    }
    ~FakeWindow() override { m_seen.steps << "window freed"; }

    void FormCreate()
    {
        m_seen.steps << "FormCreate";
        if (m_inCreate)
            m_inCreate(*this);
    }

    // The body of the key handler; it runs at the application's catch point, as the clock
    // window's handlers do.
    std::function<void()> onKey;

protected:
    void keyPressEvent(QKeyEvent *) override
    {
        m_application.runAtCatchPoint([this] {
            ++m_seen.keys;
            if (onKey)
                onKey();
        });
    }
    void showEvent(QShowEvent *) override { m_seen.steps << "window shown"; }
    void paintEvent(QPaintEvent *) override { ++m_seen.paints; }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        m_application.requestEnd();
    }

private:
    Application &m_application;
    Seen &m_seen;
    std::function<void(FakeWindow &)> m_inCreate;
};

struct Scenario
{
    std::function<void()> inDataModuleCreate;
    std::function<void(FakeWindow &)> inFormCreate;
    // Runs once the message loop turns; it ends the loop by closing the window.
    std::function<void(FakeWindow &)> whileRunning;
    bool dataModuleCannotBeBuilt = false;
    bool windowCannotBeBuilt = false;
};

int runStartUp(Application &application, Seen &seen, const Scenario &scenario)
{
    return application.run(
        [&] {
            if (scenario.dataModuleCannotBeBuilt)
                throw Failure(QStringLiteral("Klasse TKADaoDatabase nicht gefunden"));
            return std::make_unique<FakeData>(seen, scenario.inDataModuleCreate);
        },
        [&](FakeData &) {
            if (scenario.windowCannotBeBuilt)
                throw std::runtime_error("Resource TFMAIN not found");
            auto window = std::make_unique<FakeWindow>(application, seen, scenario.inFormCreate);
            FakeWindow *w = window.get();
            if (scenario.whileRunning)
                QTimer::singleShot(0, w, [w, &scenario] { scenario.whileRunning(*w); });
            // A program that waits for the user when it should not fails the test
            // instead of hanging it.
            QTimer::singleShot(10000, w, [w, &seen] {
                seen.watchdogFired = true;
                w->close();
            });
            return window;
        });
}

void postKey(QWidget &window)
{
    QCoreApplication::postEvent(&window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void endRequestDuringStartUp_data();
    void endRequestDuringStartUp();
    void failureInCreationHandler_data();
    void failureInCreationHandler();
    void failureInEventHandler();
    void endRequestWhileRunning();
    void sessionEndIsNotRefused();
    void clockMessage();
    void boxesAndPendingEndRequest();
    void failureWhileBuilding_data();
    void failureWhileBuilding();
};

void TestApplication::endRequestDuringStartUp_data()
{
    QTest::addColumn<bool>("inDataModuleCreate");
    QTest::addColumn<bool>("inFormCreate");

    QTest::newRow("no database configured") << true << false;
    QTest::newRow("unknown login name") << false << true;
    QTest::newRow("requests in both handlers") << true << true;
}

void TestApplication::endRequestDuringStartUp()
{
    QFETCH(bool, inDataModuleCreate);
    QFETCH(bool, inFormCreate);

    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    Scenario scenario;
    if (inDataModuleCreate)
        scenario.inDataModuleCreate = [&] { application.requestEnd(); };
    scenario.inFormCreate = [&](FakeWindow &window) {
        if (inFormCreate)
            application.requestEnd();
        // Input already waiting when the window appears must not be handled.
        postKey(window);
    };

    QCOMPARE(runStartUp(application, seen, scenario), 0);

    QVERIFY(!seen.watchdogFired);
    QCOMPARE(seen.steps,
             QStringList({"data built", "DataModuleCreate", "window built", "FormCreate",
                          "window shown", "window freed", "data freed"}));
    QVERIFY(seen.paints > 0);
    QCOMPARE(seen.keys, 0);
    QVERIFY(boxes.shown.isEmpty());
}

void TestApplication::failureInCreationHandler_data()
{
    QTest::addColumn<QString>("handler");
    QTest::addColumn<bool>("standardException");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");

    QTest::newRow("database cannot be opened")
        << "DataModuleCreate" << false << "Datei nicht gefunden: Z:\\zeit.mdb"
        << "Datei nicht gefunden: Z:\\zeit.mdb.";
    QTest::newRow("standard exception in DataModuleCreate")
        << "DataModuleCreate" << true << "out of memory"
        << "out of memory.";
    QTest::newRow("employee lookup fails")
        << "FormCreate" << false << "TKADaoTable.OpenDaoRecordset: Database is NOT connected!"
        << "TKADaoTable.OpenDaoRecordset: Database is NOT connected!";
}

void TestApplication::failureInCreationHandler()
{
    QFETCH(QString, handler);
    QFETCH(bool, standardException);
    QFETCH(QString, message);
    QFETCH(QString, shown);

    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    QStringList stepsAtBox;
    boxes.whileShown = [&] { stepsAtBox = seen.steps; };

    const auto fail = [&] {
        if (standardException)
            throw std::runtime_error(message.toStdString());
        throw Failure(message);
    };
    Scenario scenario;
    if (handler == "DataModuleCreate")
        scenario.inDataModuleCreate = fail;
    else
        scenario.inFormCreate = [&](FakeWindow &) { fail(); };
    bool visibleWhileRunning = false;
    scenario.whileRunning = [&](FakeWindow &window) {
        visibleWhileRunning = window.isVisible();
        QTest::keyClick(&window, Qt::Key_A);
        window.close();
    };

    QCOMPARE(runStartUp(application, seen, scenario), 0);

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Stop);
    QCOMPARE(boxes.shown[0].title, title);
    QCOMPARE(boxes.shown[0].text, shown);
    // The box comes while its handler runs, before the window is visible.
    QCOMPARE(stepsAtBox.last(), handler);
    QVERIFY(!stepsAtBox.contains("window shown"));
    // Start-up went on, and the window took input until it was closed.
    QVERIFY(seen.steps.contains("FormCreate"));
    QVERIFY(visibleWhileRunning);
    QCOMPARE(seen.keys, 1);
    QVERIFY(!seen.watchdogFired);
    QCOMPARE(seen.steps.mid(seen.steps.size() - 2), QStringList({"window freed", "data freed"}));
}

void TestApplication::failureInEventHandler()
{
    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    bool openAfterFailure = false;
    bool endRequestedAfterFailure = true;
    Scenario scenario;
    scenario.whileRunning = [&](FakeWindow &window) {
        window.onKey = [] { throw Failure(QStringLiteral("'12:7x' ist keine gültige Zeit")); };
        QTest::keyClick(&window, Qt::Key_Return);
        openAfterFailure = window.isVisible();
        endRequestedAfterFailure = application.endRequested();
        window.onKey = nullptr;
        QTest::keyClick(&window, Qt::Key_Return);
        window.close();
    };

    QCOMPARE(runStartUp(application, seen, scenario), 0);

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Stop);
    QCOMPARE(boxes.shown[0].text, QStringLiteral("'12:7x' ist keine gültige Zeit."));
    QVERIFY(openAfterFailure);
    QVERIFY(!endRequestedAfterFailure);
    // The loop went on with the next key.
    QCOMPARE(seen.keys, 2);
    QVERIFY(!seen.watchdogFired);
}

void TestApplication::endRequestWhileRunning()
{
    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    Scenario scenario;
    scenario.whileRunning = [&](FakeWindow &window) {
        // Like the booking: the handler closes the window and goes on to its end.
        window.onKey = [&] {
            window.close();
            postKey(window);
            application.showError(QStringLiteral("nach dem Ende"));
        };
        QTest::keyClick(&window, Qt::Key_Return);
    };

    QCOMPARE(runStartUp(application, seen, scenario), 0);

    QVERIFY(!seen.watchdogFired);
    QCOMPARE(seen.keys, 1);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(seen.steps.mid(seen.steps.size() - 2), QStringList({"window freed", "data freed"}));
}

void TestApplication::sessionEndIsNotRefused()
{
    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    Scenario scenario;
    // What the session manager sends when the user logs off.
    scenario.whileRunning = [](FakeWindow &) {
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
    };

    QCOMPARE(runStartUp(application, seen, scenario), 0);

    QVERIFY(!seen.watchdogFired);
    QVERIFY(boxes.shown.isEmpty());
}

void TestApplication::clockMessage()
{
    BoxRecorder boxes;
    Application application(executablePath, boxes);
    const QString stale = QStringLiteral("Gestern ist nicht ausgestempelt worden. Bitte bei Ilka "
                                         "Torwegge oder Jost Brandl melden");

    application.showMessage(stale);

    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::None);
    QCOMPARE(boxes.shown[0].title, title);
    QCOMPARE(boxes.shown[0].text, stale);
}

void TestApplication::boxesAndPendingEndRequest()
{
    BoxRecorder boxes;
    Application application(executablePath, boxes);

    // A request made while a box waits closes it.
    boxes.whileShown = [&] { application.requestEnd(); };
    application.showError(QStringLiteral("erste Meldung"));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.closeOpenCalls, 1);

    // Boxes raised afterwards close at once, and the request stays in force.
    application.showError(QStringLiteral("zweite Meldung"));
    application.showMessage(QStringLiteral("dritte Meldung"));
    QVERIFY(!application.runAtCatchPoint([] { throw Failure(QStringLiteral("vierte")); }));
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY(application.endRequested());
}

void TestApplication::failureWhileBuilding_data()
{
    QTest::addColumn<bool>("dataModule");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");

    QTest::newRow("data module") << true << QStringList()
                                 << "Klasse TKADaoDatabase nicht gefunden.";
    QTest::newRow("clock window") << false
                                  << QStringList({"data built", "DataModuleCreate", "data freed"})
                                  << "Resource TFMAIN not found.";
}

void TestApplication::failureWhileBuilding()
{
    QFETCH(bool, dataModule);
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);

    BoxRecorder boxes;
    Application application(executablePath, boxes);
    Seen seen;
    Scenario scenario;
    scenario.dataModuleCannotBeBuilt = dataModule;
    scenario.windowCannotBeBuilt = !dataModule;

    QCOMPARE(runStartUp(application, seen, scenario), 1);

    QCOMPARE(seen.steps, steps);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].icon, MessageBoxes::Icon::Stop);
    QCOMPARE(boxes.shown[0].text, shown);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
