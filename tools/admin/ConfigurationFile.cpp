#include "ConfigurationFile.h"

#include "Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

namespace {

// The clock reads at most this much of a value; the rest would be cut off.
constexpr qsizetype longestValue = 2047;
// The unscrambling counts positions with an 8-bit counter.
constexpr qsizetype longestPassword = 255;

bool breaksLine(const QByteArray &value)
{
    return value.contains('\n') || value.contains('\r') || value.contains('\0');
}

// The reader trims blanks around a value and strips a pair of enclosing quotes.
bool trimmedByReader(char c)
{
    return c == ' ' || c == '\t' || c == '"' || c == '\'';
}

bool losesEnds(const QByteArray &value)
{
    return !value.isEmpty() && (trimmedByReader(value.front()) || trimmedByReader(value.back()));
}

QByteArray contents(const QByteArray &databasePath, const QByteArray &password)
{
    return QByteArrayLiteral("[db]\r\nmain=") + databasePath + QByteArrayLiteral("\r\npw=")
        + Unscramble(password) + QByteArrayLiteral("\r\n");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    // Replaced through a new file beside it where possible; a file the user may write in a
    // folder they may not is still written, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        throw Failure(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

} // namespace

namespace ConfigurationFile {

QString databasePathProblem(const QByteArray &databasePath)
{
    if (databasePath.size() > longestValue)
        return QStringLiteral(
                   "the database path is longer than %1 bytes, more than the clock reads")
            .arg(longestValue);
    if (breaksLine(databasePath))
        return QStringLiteral("the database path holds a line break or a zero byte");
    if (losesEnds(databasePath))
        return QStringLiteral("the database path begins or ends with a blank or a quote, which the "
                              "configuration file loses");
    return {};
}

QString passwordProblem(const QByteArray &password)
{
    if (password.size() > longestPassword)
        return QStringLiteral("the password is longer than %1 bytes, more than the configuration "
                              "file holds")
            .arg(longestPassword);
    const QByteArray stored = Unscramble(password);
    if (breaksLine(stored))
        return QStringLiteral("the configuration file cannot hold this password: scrambled, it "
                              "contains a line break or a zero byte; choose another password");
    if (losesEnds(stored))
        return QStringLiteral("the configuration file cannot hold this password: scrambled, it "
                              "begins or ends with a blank or a quote; choose another password");
    return {};
}

QString executablePathFor(const QString &iniPath)
{
    if (!iniPath.endsWith(QLatin1String(".ini")))
        throw Failure(
            QStringLiteral("%1: a configuration file's name must end in \".ini\"").arg(iniPath));
    // Any extension of the program is replaced by ".ini"; one is added so that a dot
    // earlier in the name is not taken for the extension.
    const QString executable = iniPath.chopped(4) + QStringLiteral(".exe");
    if (QFileInfo(configurationPathFor(executable)).absoluteFilePath()
        != QFileInfo(iniPath).absoluteFilePath())
        throw Failure(
            QStringLiteral("%1 is not the configuration file of any program").arg(iniPath));
    return executable;
}

void write(const QString &iniPath, const QByteArray &databasePath, const QByteArray &password)
{
    executablePathFor(iniPath);
    for (const QString &problem : {databasePathProblem(databasePath), passwordProblem(password)}) {
        if (!problem.isEmpty())
            throw Failure(problem);
    }

    // Read a trial copy back the way the clock will before the real file is replaced, so
    // a value the format cannot carry never costs a working configuration.
    const QByteArray data = contents(databasePath, password);
    QTemporaryDir trial;
    if (!trial.isValid())
        throw Failure(
            QStringLiteral("cannot create a temporary directory: %1").arg(trial.errorString()));
    writeFile(trial.filePath(QStringLiteral("check.ini")), data);
    const Configuration readBack = ReadConfiguration(trial.filePath(QStringLiteral("check.exe")));
    if (readBack.databasePath != databasePath || readBack.password != password)
        throw Failure(QStringLiteral("the configuration file cannot hold this database path and "
                                     "password unchanged"));

    writeFile(iniPath, data);
}

Configuration read(const QString &iniPath)
{
    const QString executable = executablePathFor(iniPath);
    if (!QFileInfo(iniPath).isFile())
        throw Failure(QStringLiteral("cannot read %1: no such file").arg(iniPath));
    return ReadConfiguration(executable);
}

} // namespace ConfigurationFile
