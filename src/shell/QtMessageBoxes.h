#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QMessageBox>
#include <QPointer>

// The message boxes as the user sees them: QMessageBox, application modal.
class QtMessageBoxes : public MessageBoxes
{
public:
    void show(Icon icon, const QString &title, const QString &text) override;
    void closeOpen() override;

private:
    QList<QPointer<QMessageBox>> m_open;
};
