// The yardstick for the clock's start-up: a Qt program that shows a window of the clock's
// size, lets it be painted once and quits.

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

class Window : public QWidget
{
protected:
    void paintEvent(QPaintEvent *event) override
    {
        QWidget::paintEvent(event);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Window window;
    window.setWindowTitle(QStringLiteral("Zeiterfassung"));
    window.setFixedSize(454, 145);
    window.show();
    return application.exec();
}
