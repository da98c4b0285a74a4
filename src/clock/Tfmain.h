#pragma once

#include "ClockSeams.h"

#include <QWidget>

class TData;

// The clock window. Placeholder until the window is laid out.
class Tfmain : public QWidget
{
public:
    Tfmain(TData &data, const ClockSeams &seams, QWidget *parent = nullptr);

    void FormCreate();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TData &m_data;
    ClockSeams m_seams;
};
