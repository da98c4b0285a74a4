#pragma once

#include "MessageBoxes.h"

#include <QList>
#include <QString>

#include <functional>

// Stands in for the real message boxes: remembers every box shown and returns at once, as
// if the user had pressed OK.
class BoxRecorder : public MessageBoxes
{
public:
    struct Box
    {
        Icon icon;
        QString title;
        QString text;
    };

    QList<Box> shown;
    int closeOpenCalls = 0;
    // Runs while a box is up, before the "user" confirms it.
    std::function<void()> whileShown;

    void show(Icon icon, const QString &title, const QString &text) override
    {
        shown.append({icon, title, text});
        if (whileShown)
            whileShown();
    }

    void closeOpen() override { ++closeOpenCalls; }
};
