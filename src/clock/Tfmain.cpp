#include "Tfmain.h"

#include "Booking.h"
#include "DateTimeValue.h"
#include "TData.h"
#include "UpDown.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>

#include <limits>

namespace {

QFont pixelFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// A control of the window with its name, its place and its font; the font comes before
// any text, so no text is laid out in a font nobody sees.
template<class Control>
Control *place(QWidget *window, const char *name, const QRect &geometry, const QFont &font)
{
    auto *control = new Control(window);
    control->setObjectName(QLatin1String(name));
    control->setGeometry(geometry);
    control->setFont(font);
    return control;
}

// The OK glyph: a green check mark, drawn so it shows on every platform and theme.
QIcon checkMarkIcon()
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 128, 0), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF stroke[] = {{3.0, 9.5}, {7.0, 13.5}, {15.0, 4.0}};
    painter.drawPolyline(stroke, 3);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

Tfmain::Tfmain(TData &data, const ClockSeams &seams, QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint)
    , m_data(data)
    , m_seams(seams)
    , m_format(seams.regional)
{
    layOut();
}

void Tfmain::layOut()
{
    setWindowTitle(QStringLiteral("Zeiterfassung"));
    setFixedSize(454, 145);

    Richtung = place<QComboBox>(this, "Richtung", {30, 15, 111, 37}, pixelFont(24));
    Richtung->addItems({QStringLiteral("Kommt"), QStringLiteral("Geht")});
    Richtung->setCurrentIndex(0);
    for (int i = 0; i < Richtung->count(); ++i)
        Richtung->setItemData(i, QSize(0, 29), Qt::SizeHintRole);

    Zeit = place<QLineEdit>(this, "Zeit", {150, 15, 86, 37}, pixelFont(24));
    Zeit->setText(QStringLiteral("Zeit"));
    Zeit->setReadOnly(true);
    Zeit->setEnabled(false);

    Korrektur = place<QLineEdit>(this, "Korrektur", {240, 15, 36, 37}, pixelFont(24));
    Korrektur->setText(QStringLiteral("0"));
    Korrektur->setReadOnly(true);

    UpDown1 = new UpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(276, 15, 16, 37);
    UpDown1->setRange(-5, 5);
    UpDown1->setAssociate(Korrektur);

    BitBtn1 = place<QPushButton>(this, "BitBtn1", {315, 15, 131, 41}, pixelFont(24, true));
    BitBtn1->setIcon(checkMarkIcon());
    BitBtn1->setText(QStringLiteral("OK"));
    BitBtn1->setIconSize(QSize(18, 18));

    Label1 = place<QLabel>(this, "Label1", {30, 65, 82, 20}, pixelFont(16));
    Label1->setText(QStringLiteral("Bemerkung"));

    Bemerkung = place<QLineEdit>(this, "Bemerkung", {30, 90, 371, 28}, pixelFont(16));
    Bemerkung->setMaxLength(std::numeric_limits<int>::max());

    status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("status"));
    status->setGeometry(0, 126, 454, 19);
    status->setSizeGripEnabled(false);
    // The bar keeps the system's status bar font, not the window's.
    status->setFont(QApplication::font(status));
    const int panelWidths[] = {115, 70, 0};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(status);
        m_panels[i]->setObjectName(QStringLiteral("panel%1").arg(i));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (panelWidths[i] > 0)
            m_panels[i]->setFixedWidth(panelWidths[i]);
        // The last panel reaches to the right end of the bar.
        status->addWidget(m_panels[i], panelWidths[i] > 0 ? 0 : 1);
    }
    m_panels[0]->setText(QStringLiteral("Zeiterfassung"));

    // The window's own font comes last: every control that shows text has a font of its
    // own by now, so no text is laid out a first time in a font nobody sees.
    setFont(pixelFont(11));

    setTabOrder(Richtung, Bemerkung);
    setTabOrder(Bemerkung, BitBtn1);
    setTabOrder(BitBtn1, Korrektur);
    Richtung->setFocus();

    connect(UpDown1, &UpDown::clicked, this,
            [this] { m_seams.runHandler([this] { UpDown1Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this,
            [this] { m_seams.runHandler([this] { BitBtn1Click(); }); });

    if (const QScreen *screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString Tfmain::panelText(int panel) const
{
    return m_panels[panel]->text();
}

void Tfmain::FormCreate()
{
    FLogon = m_seams.logonName();

    // The login name is bound, never pasted: as statement text a name such as "logon"
    // would compare the column with itself and match every employee.
    m_data.OpenSelect(QStringLiteral("select vorname,nachname,id from mitarbeiter where logon=?"),
                      {FLogon});
    if (m_data.RecordCount() == 1) {
        FMAid = m_data.FieldAsInteger(QStringLiteral("id"));
        m_panels[1]->setText(
            QStringLiteral("%1 %2").arg(m_data.FieldAsString(QStringLiteral("vorname")),
                                        m_data.FieldAsString(QStringLiteral("nachname"))));
    } else {
        m_seams.requestEnd();
    }
    m_data.CloseSelect();

    // Two readings: the date first, then the time of day.
    FHeute = DateTimeValue::fromDate(m_seams.now().date());
    FStartzeit = DateTimeValue::fromTime(m_seams.now().time());
    UpDown1Click();

    m_data.OpenSelect(
        QStringLiteral("select * from zeiten where maid=%1 order by zeitkommt desc").arg(FMAid));
    if (m_data.RecordCount() > 0 && m_data.FieldAsBoolean(QStringLiteral("anwesend"))) {
        Richtung->setCurrentIndex(1);
        const double zeitkommt = m_data.FieldAsDateTime(QStringLiteral("zeitkommt"));
        m_panels[2]->setText(QStringLiteral("Anwesend seit %1").arg(m_format.dateTime(zeitkommt)));
        FOffenID = m_data.FieldAsInteger(QStringLiteral("id"));
        if (DateTimeValue::wholeDays(zeitkommt) != DateTimeValue::wholeDays(FHeute)) {
            m_seams.showMessage(QStringLiteral("Gestern ist nicht ausgestempelt worden. Bitte bei "
                                               "Ilka Torwegge oder Jost Brandl melden"));
            m_seams.requestEnd();
        }
    }
    m_data.CloseSelect();
}

void Tfmain::UpDown1Click()
{
    Zeit->setText(m_format.shownTime(Booking::correctedTime(FStartzeit, UpDown1->position())));
}

double Tfmain::readBookingTime() const
{
    // The booking reads the time back from the text, so what the user saw is what is stored.
    return Booking::bookingTime(FHeute, m_format.readTime(Zeit->text()));
}

void Tfmain::BitBtn1Click()
{
    if (m_closed)
        return;
    const int correction = UpDown1->position();
    switch (Richtung->currentIndex()) {
    case 0:
        m_data.InsertZeiten({FMAid, true, readBookingTime(), correction, Bemerkung->text()});
        break;
    case 1: {
        const QString statement
            = Booking::departureStatement(readBookingTime(), correction, FOffenID);
        if (FOffenID != 0)
            m_data.ExecuteStatement(statement, {Booking::departureRemark(Bemerkung->text())});
        break;
    }
    default:
        break;
    }
    close();
}

void Tfmain::keyPressEvent(QKeyEvent *event)
{
    // A plain window has no default button: Enter from any control books, as OK would.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto held
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (enter && !held) {
        BitBtn1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tfmain::closeEvent(QCloseEvent *event)
{
    // The clock window is the main window: closing it ends the program instead of
    // hiding it, and the window stays on the screen until it is freed at exit.
    event->ignore();
    m_closed = true;
    m_seams.requestEnd();
}
