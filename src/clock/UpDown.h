#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down control: two arrow buttons holding a whole-number position within a range,
// without wrapping at either end. Its associated edit shows the position and steps it by
// the Up and Down keys while it has the focus.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int position() const { return m_position; }
    void setAssociate(QLineEdit *edit);

    // Moves the position by whole steps within the range. Returns whether it moved; only
    // a move emits clicked().
    bool stepBy(int steps);

signals:
    // The user changed the position.
    void clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPosition();

    QToolButton *m_up;
    QToolButton *m_down;
    QLineEdit *m_associate = nullptr;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
};
