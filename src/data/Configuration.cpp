#include "Configuration.h"

#include "IniFile.h"

namespace {

// The one-byte key of stored passwords; the admin command scrambles with the same routine.
// With its high bit set, every password of printable ASCII characters is stored as bytes
// from 0x80 up, so no stored password holds a line break, a zero byte, a blank or a quote,
// which the INI layout could not carry.
constexpr char ScrambleKey = char(0xA5);

} // namespace

QString configurationPathFor(const QString &executablePath)
{
    // As on Windows, ":" and "\" end a folder or drive name as well as "/", so a "." in a
    // folder name is never taken for the start of an extension.
    qsizetype nameStart = 0;
    for (const QChar separator : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        nameStart = qMax(nameStart, executablePath.lastIndexOf(separator) + 1);
    const qsizetype dot = executablePath.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot >= nameStart ? executablePath.first(dot) : executablePath;
    return stem + QStringLiteral(".ini");
}

Configuration ReadConfiguration(const QString &executablePath)
{
    const IniFile file = IniFile::load(configurationPathFor(executablePath));
    Configuration configuration;
    configuration.databasePath = file.readString("db", "main", QByteArrayLiteral("*"));
    // Unscrambled even when no database is configured; it is then simply not used.
    configuration.password = Unscramble(file.readString("db", "pw", QByteArray()));
    return configuration;
}

QByteArray Unscramble(const QByteArray &text)
{
    // Stored passwords hold at most 255 characters, but a longer value is combined to its
    // end as well, so the routine stays its own inverse and never loses a character.
    QByteArray result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = char(text[i] ^ ScrambleKey);
    return result;
}
