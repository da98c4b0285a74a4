#include "AdminTool.h"

#include "ConfigCommand.h"
#include "EmployeeCommands.h"
#include "Failure.h"
#include "InitCommand.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString helpOptionName = QStringLiteral("help");

bool isHelp(const QString &argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h")
        || argument == QLatin1String("help");
}

// Engine messages may run over several lines; a caller reading standard error line by
// line gets the whole message on one.
QString oneLine(const QString &message)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(message).replace(lineBreaks, QStringLiteral(" ")).trimmed();
}

} // namespace

QString requiredValue(const QCommandLineParser &parser, const QString &option)
{
    if (!parser.isSet(option))
        throw UsageError(QStringLiteral("missing option --%1").arg(option));
    const QString value = parser.value(option);
    if (value.isEmpty())
        throw UsageError(QStringLiteral("option --%1 needs a value").arg(option));
    return value;
}

AdminTool::AdminTool(const QString &programName)
    : m_programName(programName)
{
}

void AdminTool::add(std::unique_ptr<AdminCommand> command)
{
    m_commands.push_back(std::move(command));
}

int AdminTool::run(const QStringList &arguments, QTextStream &out, QTextStream &err) const
{
    const auto usage = [&](const QString &prefix, const QString &message, const QString &help) {
        err << prefix << ": " << message << "; see '" << help << " --help'\n";
        err.flush();
        return Usage;
    };

    if (arguments.isEmpty())
        return usage(m_programName, QStringLiteral("no command given"), m_programName);
    if (isHelp(arguments.first())) {
        out << overview();
        return Success;
    }

    if (const AdminCommand *command = find(arguments)) {
        const QStringList words = command->words();
        return runCommand(*command, arguments.mid(words.size()), out, err);
    }

    const QString &word = arguments.first();
    const QStringList group = groupCommands(word);
    if (group.isEmpty())
        return usage(m_programName, QStringLiteral("unknown command '%1'").arg(word),
                     m_programName);
    const QString groupName = m_programName + QLatin1Char(' ') + word;
    if (arguments.size() == 1)
        return usage(
            groupName,
            QStringLiteral("missing sub-command (%1)").arg(group.join(QLatin1String(", "))),
            groupName);
    if (isHelp(arguments.at(1))) {
        out << overview({word});
        return Success;
    }
    return usage(groupName, QStringLiteral("unknown sub-command '%1'").arg(arguments.at(1)),
                 groupName);
}

const AdminCommand *AdminTool::find(const QStringList &arguments) const
{
    const AdminCommand *found = nullptr;
    for (const auto &command : m_commands) {
        const QStringList words = command->words();
        if (words.size() <= arguments.size() && arguments.mid(0, words.size()) == words
            && (!found || words.size() > found->words().size()))
            found = command.get();
    }
    return found;
}

// The sub-commands of a group word such as "employee", in the order they were added.
QStringList AdminTool::groupCommands(const QString &word) const
{
    QStringList names;
    for (const auto &command : m_commands) {
        const QStringList words = command->words();
        if (words.size() > 1 && words.first() == word)
            names << words.mid(1).join(QLatin1Char(' '));
    }
    return names;
}

QString AdminTool::overview(const QStringList &onlyWords) const
{
    QString text;
    QTextStream stream(&text);
    stream << "Usage: " << m_programName << " COMMAND [OPTIONS]\n\n"
           << "Sets up and maintains the database of the Zeiterfassung time clock.\n"
           << "DB is an SQLite file path or a postgresql:// URL.\n\nCommands:\n";
    for (const auto &command : m_commands) {
        const QStringList words = command->words();
        if (words.mid(0, onlyWords.size()) != onlyWords)
            continue;
        stream << "  " << words.join(QLatin1Char(' ')) << ' ' << command->synopsis() << "\n      "
               << command->summary() << '\n';
    }
    stream << "\nSee '" << m_programName << " COMMAND --help' for the options of a command.\n";
    return text;
}

QString AdminTool::commandHelp(const AdminCommand &command, const QCommandLineParser &parser) const
{
    // The parser's own text starts with a usage line that knows nothing of command words;
    // only its list of options is kept.
    const QString generated = parser.helpText();
    const qsizetype options = generated.indexOf(QLatin1String("Options:"));
    return QStringLiteral("Usage: %1 %2 %3\n\n%4\n\n%5")
        .arg(m_programName, command.words().join(QLatin1Char(' ')), command.synopsis(),
             command.summary(), options < 0 ? QString() : generated.mid(options));
}

int AdminTool::runCommand(const AdminCommand &command, const QStringList &options, QTextStream &out,
                          QTextStream &err) const
{
    const QString name = m_programName + QLatin1Char(' ') + command.words().join(QLatin1Char(' '));
    const auto report = [&](const QString &message, ExitStatus status) {
        err << name << ": " << oneLine(message);
        if (status == Usage)
            err << "; see '" << name << " --help'";
        err << '\n';
        err.flush();
        return status;
    };

    QCommandLineParser parser;
    parser.addOption(QCommandLineOption({QStringLiteral("h"), helpOptionName},
                                        QStringLiteral("Shows this help.")));
    command.addOptions(parser);

    try {
        if (!parser.parse(QStringList {m_programName} + options)) {
            QString message = parser.errorText();
            while (message.endsWith(QLatin1Char('.')))
                message.chop(1);
            throw UsageError(message);
        }
        if (parser.isSet(helpOptionName)) {
            out << commandHelp(command, parser);
            return Success;
        }
        if (!command.takesArguments() && !parser.positionalArguments().isEmpty())
            throw UsageError(QStringLiteral("unexpected argument '%1'")
                                 .arg(parser.positionalArguments().first()));
        // A repeated option names two values for one thing; taking either would hide a slip.
        const QStringList given = parser.optionNames();
        for (const QString &option : given) {
            if (given.count(option) > 1)
                throw UsageError(QStringLiteral("option --%1 given more than once").arg(option));
        }
        command.run(parser, out);
        out.flush();
        return Success;
    } catch (const UsageError &error) {
        return report(error.message(), Usage);
    } catch (const Failure &failure) {
        out.flush();
        return report(failure.message(), Failed);
    } catch (const std::exception &error) {
        out.flush();
        return report(QString::fromLocal8Bit(error.what()), Failed);
    }
}

AdminTool makeAdminTool()
{
    AdminTool tool(QStringLiteral("zeiterfassung-admin"));
    tool.add(std::make_unique<InitCommand>());
    tool.add(std::make_unique<EmployeeAddCommand>());
    tool.add(std::make_unique<EmployeeListCommand>());
    tool.add(std::make_unique<ConfigCommand>());
    return tool;
}
