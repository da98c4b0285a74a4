#include "Application.h"

#include "ApplicationTitle.h"
#include "ErrorText.h"
#include "Failure.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

// How long an end request made during start-up lets the window take to appear before the
// program ends; only reached when the window system never paints it.
constexpr int paintWaitMs = 2000;

bool isUserInput(const QEvent *event)
{
    return event->isInputEvent() || event->type() == QEvent::Shortcut;
}

} // namespace

Application::Application(const QString &executablePath, MessageBoxes &boxes)
    : m_boxes(boxes)
    , m_title(applicationTitleOf(executablePath))
{
    QCoreApplication::instance()->installEventFilter(this);
}

Application::~Application() = default;

void Application::requestEnd()
{
    if (m_endRequested)
        return;
    m_endRequested = true;
    m_boxes.closeOpen();
    if (m_loop)
        m_loop->exit();
}

void Application::showError(const QString &message)
{
    present(MessageBoxes::Icon::Stop, errorTextOf(message));
}

void Application::showMessage(const QString &text)
{
    present(MessageBoxes::Icon::None, text);
}

void Application::present(MessageBoxes::Icon icon, const QString &text)
{
    // With an end request pending a box closes at once: nobody waits for the user, and
    // the request stays in force.
    if (m_endRequested)
        return;
    m_boxes.show(icon, m_title, text);
}

bool Application::runAtCatchPoint(const std::function<void()> &step)
{
    QString failure;
    try {
        step();
        return true;
    } catch (const Failure &error) {
        failure = error.message();
    } catch (const std::exception &error) {
        failure = QString::fromUtf8(error.what());
    } catch (...) {
        // Nothing may cross Qt's event loop, whatever it is.
        failure = QStringLiteral("Unbekannter Fehler");
    }
    // Shown outside the handler, so that no exception is alive while the box waits.
    showError(failure);
    return false;
}

void Application::runLoop(QWidget &mainWindow)
{
    m_mainWindow = &mainWindow;
    m_mainWindowPainted = false;
    mainWindow.show();

    if (m_endRequested) {
        // The window still appears, but the program ends without waiting for the user.
        if (!m_mainWindowPainted) {
            QEventLoop paintWait;
            m_loop = &paintWait;
            QTimer::singleShot(paintWaitMs, &paintWait, &QEventLoop::quit);
            paintWait.exec(QEventLoop::ExcludeUserInputEvents);
            m_loop = nullptr;
        }
        return;
    }

    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
}

bool Application::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == m_mainWindow) {
        m_mainWindowPainted = true;
        // Waiting for the first paint of a window that is to end at once; the loop stops
        // once this paint has been flushed.
        if (m_endRequested && m_loop)
            m_loop->exit();
    }
    // Once the end has been asked for, the user cannot book or change anything any more.
    if (m_endRequested && isUserInput(event))
        return true;
    return QObject::eventFilter(watched, event);
}

void Application::reportLastResort(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(m_title), qPrintable(errorTextOf(message)));
    std::fflush(stderr);
    showError(message);
}
