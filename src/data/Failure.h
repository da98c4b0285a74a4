#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failure of an operation, carrying the text exactly as the user will read it.
// Data operations throw it; only the shell's catch points catch it and show it.
class Failure : public std::exception
{
public:
    explicit Failure(const QString &message)
        : m_message(message)
        , m_utf8(message.toUtf8())
    {
    }

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
