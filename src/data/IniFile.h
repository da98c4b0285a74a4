#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A read-only Windows INI file that answers like the Windows profile reader
// (GetPrivateProfileStringA), because the configuration files are written for that reader:
// - a line whose first non-blank character is "[" and which holds a "]" opens a section named
//   by the text between the "[" and the last "]";
// - a line holding "=" gives a key (the text before the first "=") and its value (the rest);
//   lines without "=" are ignored, and so is everything before the first section;
// - section and key names are matched without regard to letter case;
// - blanks (spaces and tabs) around names and values are dropped, and then one pair of
//   enclosing double or single quotes;
// - a value is cut to its first 2047 bytes (the Windows reading buffer holds 2048 with its
//   terminating zero);
// - lines end with CR LF, LF or CR;
// - of a section written twice only the first is read, and of a key written twice in it
//   only the first.
// Texts are bytes, never decoded. A zero byte ends the name or value it stands in, since the
// Windows reader hands back zero-terminated texts. A UTF-8 byte order mark at the start is
// skipped: editors add it silently, and it would otherwise hide the first section.
class IniFile
{
public:
    static constexpr qsizetype MaxValueLength = 2047;
    // Nothing past this is read, so a wrong file cannot exhaust memory; a real
    // configuration file is a few lines.
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    IniFile() = default;
    explicit IniFile(QByteArray text);

    // The file at path; a missing or unreadable path, or one that is no regular file
    // (a folder, a pipe, a device), reads as an empty file.
    static IniFile load(const QString &path);

    // The value of key in section, or nothing when the section or the key is missing.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // As TIniFile.ReadString: the value, or defaultValue when the section or the key is
    // missing. A key written with an empty value yields the empty text, not the default.
    QByteArray readString(QByteArrayView section, QByteArrayView key,
                          const QByteArray &defaultValue) const;

private:
    QByteArray m_text;
};
