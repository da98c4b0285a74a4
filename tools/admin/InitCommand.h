#pragma once

#include "AdminCommand.h"

// init: creates the tables and the index in an empty database.
class InitCommand : public AdminCommand
{
public:
    QStringList words() const override;
    QString synopsis() const override;
    QString summary() const override;
    void addOptions(QCommandLineParser &parser) const override;
    void run(const QCommandLineParser &parser, QTextStream &out) const override;
};
