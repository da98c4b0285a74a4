#include "QtMessageBoxes.h"

#include <QApplication>
#include <QWidget>

void QtMessageBoxes::show(Icon icon, const QString &title, const QString &text)
{
    // The box has no parent: it can appear before the clock window exists. Whoever was
    // active before gets the focus back afterwards.
    const QPointer<QWidget> previouslyActive = QApplication::activeWindow();

    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, title,
                    QString(), QMessageBox::Ok);
    // Messages come from the database engine and from user input; they are shown as
    // written, never interpreted as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);

    m_open.append(&box);
    box.exec();
    m_open.removeAll(&box);

    if (previouslyActive)
        previouslyActive->activateWindow();
}

void QtMessageBoxes::closeOpen()
{
    const auto open = m_open;
    for (const QPointer<QMessageBox> &box : open) {
        if (box)
            box->done(QMessageBox::Ok);
    }
}
