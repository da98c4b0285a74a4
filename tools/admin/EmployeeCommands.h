#pragma once

#include "AdminCommand.h"

// employee add: enters an employee into Mitarbeiter and prints the new ID.
class EmployeeAddCommand : public AdminCommand
{
public:
    QStringList words() const override;
    QString synopsis() const override;
    QString summary() const override;
    void addOptions(QCommandLineParser &parser) const override;
    void run(const QCommandLineParser &parser, QTextStream &out) const override;
};

// employee list: prints ID, logon and name of every employee, one a line.
class EmployeeListCommand : public AdminCommand
{
public:
    QStringList words() const override;
    QString synopsis() const override;
    QString summary() const override;
    void addOptions(QCommandLineParser &parser) const override;
    void run(const QCommandLineParser &parser, QTextStream &out) const override;
};
