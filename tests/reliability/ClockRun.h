#pragma once

#include "ClockSeams.h"

#include <QString>
#include <QStringList>

#include <memory>

class TData;
class Tfmain;

// One start of the clock as the program makes it, without a screen: the data module and
// the clock window with their creation handlers at catch points, and the booking through
// the OK button. The platform is faked: the login name is given, the clock is the real
// one, the regional settings are German, and messages, failures and the end request are
// recorded instead of shown.
class ClockRun
{
public:
    explicit ClockRun(const QString &logon);
    ~ClockRun();

    // DataModuleCreate, then FormCreate, for the configuration beside executablePath.
    void start(const QString &executablePath);
    // Types the remark into Bemerkung and clicks OK.
    void book(const QString &remark);

    int maid() const;
    int offenId() const;
    int richtung() const;

    QStringList failures;
    QStringList messages;
    bool endRequested = false;

private:
    ClockSeams m_seams;
    std::unique_ptr<TData> m_data;
    std::unique_ptr<Tfmain> m_window;
};
