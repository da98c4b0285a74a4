#pragma once

#include "MessageBoxes.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>

class QEventLoop;

// The program's application object, living beside QApplication. It carries the
// application title, the end request, the catch points with the global error display,
// and the start-up sequence that makes the data module and the clock window, runs the
// message loop and frees both at exit.
class Application : public QObject
{
    Q_OBJECT

public:
    // The title is fixed here from the program's file name. QApplication must exist.
    Application(const QString &executablePath, MessageBoxes &boxes);
    ~Application() override;

    // Asks the program to end and returns at once. The rest of the caller's code and of
    // start-up still runs; the message loop ends as soon as it gets the chance, and no
    // user input is handled from now on. Asking again changes nothing.
    void requestEnd();
    bool endRequested() const { return m_endRequested; }

    // The global error display: a modal box with the title, the stop icon and the
    // message, punctuated. Returns when the user has confirmed it.
    void showError(const QString &message);
    // A modal box with the title and no icon (the clock window's own message).
    void showMessage(const QString &text);

    // A catch point: runs the step and shows any failure that leaves it through the global
    // error display. Returns whether the step ran to its end.
    bool runAtCatchPoint(const std::function<void()> &step);

    // The start-up sequence, to its exit. makeDataModule() builds the data module, which
    // has DataModuleCreate(); makeWindow(dataModule) builds the clock window, a QWidget
    // with FormCreate(). Both creation handlers run at catch points; the window becomes
    // the main window and is shown, the message loop runs, then the window is freed and
    // the data module after it. A failure while either is being built is not caught by a
    // catch point: it gets the last-resort report and the exit status is 1, otherwise 0.
    template<class MakeDataModule, class MakeWindow>
    int run(MakeDataModule makeDataModule, MakeWindow makeWindow);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the main window and runs the message loop until an end request. One made
    // before lets the window be painted once and returns without handling input.
    void runLoop(QWidget &mainWindow);
    void present(MessageBoxes::Icon icon, const QString &text);
    void reportLastResort(const QString &message);

    MessageBoxes &m_boxes;
    const QString m_title;
    bool m_endRequested = false;
    QEventLoop *m_loop = nullptr;
    QPointer<QWidget> m_mainWindow;
    bool m_mainWindowPainted = false;
};

template<class MakeDataModule, class MakeWindow>
int Application::run(MakeDataModule makeDataModule, MakeWindow makeWindow)
{
    QString failure;
    try {
        auto Data = makeDataModule();
        runAtCatchPoint([&] { Data->DataModuleCreate(); });

        auto fmain = makeWindow(*Data);
        runAtCatchPoint([&] { fmain->FormCreate(); });

        runLoop(*fmain);

        // The window reads from the data module, so it goes first.
        fmain.reset();
        Data.reset();
        return 0;
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        failure = QStringLiteral("Unbekannter Fehler");
    }
    // Reported outside the handler, so that no exception is alive while a box waits.
    reportLastResort(failure);
    return 1;
}
