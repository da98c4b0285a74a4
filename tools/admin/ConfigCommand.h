#pragma once

#include "AdminCommand.h"

// config: writes the configuration file through which the clock finds its database.
class ConfigCommand : public AdminCommand
{
public:
    QStringList words() const override;
    QString synopsis() const override;
    QString summary() const override;
    void addOptions(QCommandLineParser &parser) const override;
    void run(const QCommandLineParser &parser, QTextStream &out) const override;
};
