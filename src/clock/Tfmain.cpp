#include "Tfmain.h"

#include <QCloseEvent>

Tfmain::Tfmain(TData &data, const ClockSeams &seams, QWidget *parent)
    : QWidget(parent)
    , m_data(data)
    , m_seams(seams)
{
    setWindowTitle(QStringLiteral("Zeiterfassung"));
}

void Tfmain::FormCreate() { }

void Tfmain::closeEvent(QCloseEvent *event)
{
    // The clock window is the main window: closing it ends the program instead of
    // hiding it, and the window stays on the screen until it is freed at exit.
    event->ignore();
    m_seams.requestEnd();
}
