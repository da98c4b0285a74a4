#include "UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDown::UpDown(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    for (QToolButton *button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setArrowType(Qt::DownArrow);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);

    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = std::clamp(m_position, m_minimum, m_maximum);
    showPosition();
}

void UpDown::setAssociate(QLineEdit *edit)
{
    if (m_associate)
        m_associate->removeEventFilter(this);
    m_associate = edit;
    if (m_associate)
        m_associate->installEventFilter(this);
    showPosition();
}

bool UpDown::stepBy(int steps)
{
    const int position = std::clamp(m_position + steps, m_minimum, m_maximum);
    if (position == m_position)
        return false;
    m_position = position;
    showPosition();
    emit clicked();
    return true;
}

bool UpDown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_associate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::showPosition()
{
    if (m_associate)
        m_associate->setText(QString::number(m_position));
}
