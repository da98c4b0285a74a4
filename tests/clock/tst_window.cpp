#include "ClockFixture.h"
#include "DateTimeValue.h"
#include "TData.h"
#include "Tfmain.h"
#include "UpDown.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

// The window's layout, correction and keyboard, without a database: the data module is
// never connected here, so a booking fails and the window stays.
class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void whatUsersSee();
    void tabOrder();
    void correctionSteps_data();
    void correctionSteps();
    void keysThatBook_data();
    void keysThatBook();
    void enterInOpenDirectionListOnlyPicks();
    void closeBoxBooksNothing();
};

namespace {

struct Window
{
    SeamsRecorder recorder;
    TData data {QStringLiteral("/nonexistent/Zeiterfassung"), [] {}};
    Tfmain window;

    Window()
        : window(data, recorder.seams())
    {
    }
};

bool hasGreenPixel(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && c.green() > 100 && c.red() < 80 && c.blue() < 80)
                return true;
        }
    }
    return false;
}

} // namespace

void TestWindow::whatUsersSee()
{
    Window w;
    Tfmain &window = w.window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Zeiterfassung"));
    QCOMPARE(window.size(), QSize(454, 145));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    const QPoint offCentre
        = window.geometry().center() - QApplication::primaryScreen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);

    auto *richtung = window.findChild<QComboBox *>(QStringLiteral("Richtung"));
    QVERIFY(richtung);
    QVERIFY(!richtung->isEditable());
    QCOMPARE(richtung->currentText(), QStringLiteral("Kommt"));
    auto *zeit = window.findChild<QLineEdit *>(QStringLiteral("Zeit"));
    QCOMPARE(zeit->text(), QStringLiteral("Zeit"));
    QVERIFY(!zeit->isEnabled());
    QVERIFY(zeit->isReadOnly());
    auto *korrektur = window.findChild<QLineEdit *>(QStringLiteral("Korrektur"));
    QCOMPARE(korrektur->text(), QStringLiteral("0"));
    QVERIFY(korrektur->isReadOnly());
    // A remark of any length can be typed; the database keeps what it can.
    auto *bemerkung = window.findChild<QLineEdit *>(QStringLiteral("Bemerkung"));
    const QString longRemark(40000, QLatin1Char('x'));
    bemerkung->setText(longRemark);
    QCOMPARE(bemerkung->text(), longRemark);

    auto *ok = window.findChild<QPushButton *>(QStringLiteral("BitBtn1"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->font().bold());
    QVERIFY(hasGreenPixel(ok->icon().pixmap(18, 18).toImage()));
    QCOMPARE(window.panelText(0), QStringLiteral("Zeiterfassung"));
    QCOMPARE(window.panelText(1), QString());
    QCOMPARE(window.panelText(2), QString());
}

void TestWindow::tabOrder()
{
    Window w;
    w.window.show();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QTRY_COMPARE(QApplication::focusWidget(), w.window.Richtung);

    const QList<QWidget *> order
        = {w.window.Bemerkung, w.window.BitBtn1, w.window.Korrektur, w.window.Richtung};
    for (QWidget *next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
}

void TestWindow::correctionSteps_data()
{
    QTest::addColumn<QList<int>>("steps"); // +1 up arrow, -1 down arrow, +2/-2 Up/Down key
    QTest::addColumn<QString>("korrektur");
    QTest::addColumn<QString>("zeit");
    QTest::addColumn<int>("handled");

    QTest::newRow("up to 5 and one more") << QList<int> {1, 1, 1, 1, 1, 1} << "5"
                                          << "08:09" << 5;
    QTest::newRow("down to -5 and one more") << QList<int> {-1, -1, -1, -1, -1, -1} << "-5"
                                             << "07:59" << 5;
    QTest::newRow("up, down to the end and back to 0")
        << QList<int> {1, 1, 1, 1, 1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, 1, 1, 1, 1}
        << "0"
        << "08:04" << 20;
    QTest::newRow("keys while Korrektur has the focus") << QList<int> {2, 2, -2} << "1"
                                                        << "08:05" << 3;
}

void TestWindow::correctionSteps()
{
    QFETCH(QList<int>, steps);
    QFETCH(QString, korrektur);
    QFETCH(QString, zeit);
    QFETCH(int, handled);

    Window w;
    Tfmain &window = w.window;
    window.FStartzeit = DateTimeValue::fromTime(QTime(8, 4, 59, 500));
    window.UpDown1Click();
    QCOMPARE(window.Zeit->text(), QStringLiteral("08:04"));

    auto *upDown = window.findChild<UpDown *>(QStringLiteral("UpDown1"));
    QSignalSpy clicks(upDown, &UpDown::clicked);
    auto *up = upDown->findChild<QToolButton *>(QStringLiteral("up"));
    auto *down = upDown->findChild<QToolButton *>(QStringLiteral("down"));
    for (int step : steps) {
        if (step == 1 || step == -1)
            QTest::mouseClick(step > 0 ? up : down, Qt::LeftButton);
        else
            QTest::keyClick(window.Korrektur, step > 0 ? Qt::Key_Up : Qt::Key_Down);
    }
    QCOMPARE(window.Korrektur->text(), korrektur);
    QCOMPARE(window.Zeit->text(), zeit);
    QCOMPARE(clicks.count(), handled);
}

void TestWindow::keysThatBook_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("books");

    QTest::newRow("Enter in Bemerkung") << "Bemerkung" << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("keypad Enter in Richtung")
        << "Richtung" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
    QTest::newRow("Enter in Korrektur") << "Korrektur" << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("Enter on the button") << "BitBtn1" << int(Qt::Key_Return) << 0 << true;
    QTest::newRow("Space on the button") << "BitBtn1" << int(Qt::Key_Space) << 0 << true;
    QTest::newRow("Shift+Enter") << "Bemerkung" << int(Qt::Key_Return) << int(Qt::ShiftModifier)
                                 << false;
    QTest::newRow("Ctrl+Enter") << "Bemerkung" << int(Qt::Key_Return) << int(Qt::ControlModifier)
                                << false;
    QTest::newRow("Alt+Enter") << "Richtung" << int(Qt::Key_Return) << int(Qt::AltModifier)
                               << false;
    QTest::newRow("Escape") << "Bemerkung" << int(Qt::Key_Escape) << 0 << false;
}

void TestWindow::keysThatBook()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, books);

    Window w;
    w.window.show();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    auto *target = w.window.findChild<QWidget *>(control);
    target->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), target);

    QSignalSpy clicks(w.window.BitBtn1, &QPushButton::clicked);
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(clicks.count(), books ? 1 : 0);
    // Without a connection the booking fails, and the window stays open with no end request.
    QCOMPARE(w.recorder.failures.size(), books ? 1 : 0);
    QCOMPARE(w.recorder.endRequests(), 0);
    QVERIFY(w.window.isVisible());
}

void TestWindow::enterInOpenDirectionListOnlyPicks()
{
    Window w;
    w.window.show();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QSignalSpy clicks(w.window.BitBtn1, &QPushButton::clicked);
    w.window.Richtung->showPopup();
    QAbstractItemView *list = w.window.Richtung->view();
    QTRY_VERIFY(list->isVisible());
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
    QCOMPARE(w.window.Richtung->currentText(), QStringLiteral("Geht"));
    QCOMPARE(clicks.count(), 0);
}

void TestWindow::closeBoxBooksNothing()
{
    Window w;
    w.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w.window));
    QSignalSpy clicks(w.window.BitBtn1, &QPushButton::clicked);
    w.window.close();
    QCOMPARE(w.recorder.events, QStringList {QStringLiteral("end")});
    QCOMPARE(clicks.count(), 0);
    // A click still queued after the close books nothing either.
    w.window.BitBtn1->click();
    QCOMPARE(w.recorder.failures, QStringList());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
