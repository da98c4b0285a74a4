#pragma once

#include "ClockSeams.h"
#include "TimeFormat.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class TData;
class UpDown;

// The clock window: identifies the employee, shows the time and the presence state, and
// books one arrival or departure. Closing it ends the program.
class Tfmain : public QWidget
{
public:
    Tfmain(TData &data, const ClockSeams &seams, QWidget *parent = nullptr);

    // Settles the start-up state in one pass. A failure leaves the window with the state
    // reached so far and propagates to the caller's catch point.
    void FormCreate();
    // Shows the captured time moved by the correction.
    void UpDown1Click();
    // Books the arrival or the departure and closes the window.
    void BitBtn1Click();

    // The text of a status bar panel (0 caption, 1 employee, 2 presence).
    QString panelText(int panel) const;

    QStatusBar *status;
    QComboBox *Richtung;
    QLineEdit *Zeit;
    QLabel *Label1;
    QLineEdit *Bemerkung;
    QPushButton *BitBtn1;
    QLineEdit *Korrektur;
    UpDown *UpDown1;

    QString FLogon;
    qint32 FMAid = 0;
    double FHeute = 0;
    double FStartzeit = 0;
    qint32 FOffenID = 0;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void layOut();
    double readBookingTime() const;

    TData &m_data;
    ClockSeams m_seams;
    TimeFormat m_format;
    QLabel *m_panels[3];
    // Set once the window has been closed: the program is ending, and a click or an Enter
    // still in the queue must not book a second time.
    bool m_closed = false;
};
