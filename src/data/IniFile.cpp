#include "IniFile.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QByteArrayView cutAtZero(QByteArrayView text)
{
    const qsizetype zero = text.indexOf('\0');
    return zero < 0 ? text : text.first(zero);
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArrayView withoutQuotes(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

IniFile::IniFile(QByteArray text)
    : m_text(std::move(text))
{
}

IniFile IniFile::load(const QString &path)
{
    // Checked before opening: opening a pipe would wait for a writer, and a device such as
    // /dev/zero never ends.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniFile(file.read(MaxFileSize));
}

std::optional<QByteArray> IniFile::value(QByteArrayView section, QByteArrayView key) const
{
    QByteArrayView rest(m_text);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);

    bool inSection = false;
    while (!rest.isEmpty()) {
        qsizetype lineEnd = 0;
        while (lineEnd < rest.size() && !isLineEnd(rest[lineEnd]))
            ++lineEnd;
        const QByteArrayView line = trimmed(rest.first(lineEnd));
        while (lineEnd < rest.size() && isLineEnd(rest[lineEnd]))
            ++lineEnd;
        rest = rest.sliced(lineEnd);

        if (line.isEmpty())
            continue;
        if (line.front() == '[') {
            const qsizetype close = line.lastIndexOf(']');
            if (close > 0) {
                // The first section of that name has ended: a later one is not read.
                if (inSection)
                    return std::nullopt;
                inSection = sameName(cutAtZero(line.sliced(1, close - 1)), section);
                continue;
            }
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        if (!sameName(trimmed(cutAtZero(line.first(equals))), key))
            continue;
        const QByteArrayView value = withoutQuotes(trimmed(cutAtZero(line.sliced(equals + 1))));
        return value.first(qMin(value.size(), MaxValueLength)).toByteArray();
    }
    return std::nullopt;
}

QByteArray IniFile::readString(QByteArrayView section, QByteArrayView key,
                               const QByteArray &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}
