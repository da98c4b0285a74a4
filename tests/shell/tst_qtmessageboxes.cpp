#include "QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// What the box looked like while it was up.
struct Look
{
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    int buttons = 0;
    bool okButton = false;
    Qt::WindowModality modality = Qt::NonModal;
};

QMessageBox *openBox()
{
    return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
}

// Confirms the box after a while if the test did not get it closed: a failed test, not a
// hung one.
void armWatchdog(QObject *context, bool &fired)
{
    QTimer::singleShot(10000, context, [&fired] {
        fired = true;
        if (QMessageBox *box = openBox())
            box->done(QMessageBox::Ok);
    });
}

} // namespace

class TestQtMessageBoxes : public QObject
{
    Q_OBJECT

private slots:
    void showsAModalBox_data();
    void showsAModalBox();
    void closeOpenEndsTheWait();
    void focusReturnsAfterwards();
};

void TestQtMessageBoxes::showsAModalBox_data()
{
    QTest::addColumn<MessageBoxes::Icon>("icon");
    QTest::addColumn<QMessageBox::Icon>("qtIcon");
    QTest::addColumn<QString>("text");

    QTest::newRow("error") << MessageBoxes::Icon::Stop << QMessageBox::Critical
                           << "Datei nicht gefunden.";
    QTest::newRow("message without icon")
        << MessageBoxes::Icon::None << QMessageBox::NoIcon << "Bitte melden";
    QTest::newRow("markup stays text")
        << MessageBoxes::Icon::Stop << QMessageBox::Critical << "Spalte <b>Zeit</b> fehlt.";
}

void TestQtMessageBoxes::showsAModalBox()
{
    QFETCH(MessageBoxes::Icon, icon);
    QFETCH(QMessageBox::Icon, qtIcon);
    QFETCH(QString, text);

    QtMessageBoxes boxes;
    Look look;
    QObject context;
    QTimer::singleShot(0, &context, [&look] {
        QMessageBox *box = openBox();
        if (!box)
            return;
        look.found = true;
        look.title = box->windowTitle();
        look.text = box->text();
        look.icon = box->icon();
        look.format = box->textFormat();
        look.buttons = box->buttons().size();
        look.okButton = box->button(QMessageBox::Ok) != nullptr;
        look.modality = box->windowModality();
        box->button(QMessageBox::Ok)->click();
    });
    bool watchdogFired = false;
    armWatchdog(&context, watchdogFired);

    boxes.show(icon, QStringLiteral("Zeiterfassung"), text);

    QVERIFY(!watchdogFired);
    QVERIFY(look.found);
    QCOMPARE(look.title, QStringLiteral("Zeiterfassung"));
    QCOMPARE(look.text, text);
    QCOMPARE(look.icon, qtIcon);
    QCOMPARE(look.format, Qt::PlainText);
    QCOMPARE(look.buttons, 1);
    QVERIFY(look.okButton);
    QCOMPARE(look.modality, Qt::ApplicationModal);
}

void TestQtMessageBoxes::closeOpenEndsTheWait()
{
    QtMessageBoxes boxes;
    QObject context;
    QTimer::singleShot(0, &context, [&boxes] { boxes.closeOpen(); });
    bool watchdogFired = false;
    armWatchdog(&context, watchdogFired);

    boxes.show(MessageBoxes::Icon::Stop, QStringLiteral("Zeiterfassung"), QStringLiteral("x."));

    QVERIFY(!watchdogFired);
    QVERIFY(!openBox());
}

void TestQtMessageBoxes::focusReturnsAfterwards()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *first = new QLineEdit(&window);
    auto *remark = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(remark);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    remark->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), remark);

    QtMessageBoxes boxes;
    QObject context;
    QTimer::singleShot(0, &context, [] {
        if (QMessageBox *box = openBox())
            box->button(QMessageBox::Ok)->click();
    });
    bool watchdogFired = false;
    armWatchdog(&context, watchdogFired);

    boxes.show(MessageBoxes::Icon::Stop, QStringLiteral("Zeiterfassung"), QStringLiteral("x."));

    QVERIFY(!watchdogFired);
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(QApplication::focusWidget(), remark);
}

QTEST_MAIN(TestQtMessageBoxes)
#include "tst_qtmessageboxes.moc"
