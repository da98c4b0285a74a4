#pragma once

#include <QString>

// The modal message boxes of the program. The real boxes sit behind this seam so that
// tests can put a recorder in their place; whether a box is shown at all is decided by
// the application, not here.
class MessageBoxes
{
public:
    enum class Icon { None, Stop };

    virtual ~MessageBoxes() = default;

    // Shows a modal box with a single OK button that belongs to the application, not to a
    // window. Returns when the user has confirmed it or closeOpen() closed it.
    virtual void show(Icon icon, const QString &title, const QString &text) = 0;

    // Closes every box that show() is still waiting on.
    virtual void closeOpen() = 0;
};
