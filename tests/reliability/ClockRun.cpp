#include "ClockRun.h"

#include "Failure.h"
#include "TData.h"
#include "Tfmain.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

ClockRun::ClockRun(const QString &logon)
{
    m_seams.now = [] { return QDateTime::currentDateTime(); };
    m_seams.logonName = [logon] { return logon; };
    m_seams.regional = RegionalSettings();
    m_seams.showMessage = [this](const QString &text) { messages << text; };
    m_seams.requestEnd = [this] { endRequested = true; };
    m_seams.runHandler = [this](const std::function<void()> &handler) {
        try {
            handler();
        } catch (const Failure &failure) {
            failures << failure.message();
        }
    };
}

ClockRun::~ClockRun()
{
    // The window reads from the data module, so it goes first.
    m_window.reset();
    m_data.reset();
}

void ClockRun::start(const QString &executablePath)
{
    m_data = std::make_unique<TData>(executablePath, m_seams.requestEnd);
    m_seams.runHandler([this] { m_data->DataModuleCreate(); });
    m_window = std::make_unique<Tfmain>(*m_data, m_seams);
    m_seams.runHandler([this] { m_window->FormCreate(); });
    m_window->show();
}

void ClockRun::book(const QString &remark)
{
    m_window->Bemerkung->setText(remark);
    m_window->BitBtn1->click();
}

int ClockRun::maid() const
{
    return m_window->FMAid;
}

int ClockRun::offenId() const
{
    return m_window->FOffenID;
}

int ClockRun::richtung() const
{
    return m_window->Richtung->currentIndex();
}
