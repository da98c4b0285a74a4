// libFuzzer target for the configuration file reader and Unscramble. Built and run by
// scripts/fuzz-ini; AddressSanitizer and UndefinedBehaviorSanitizer catch what the reader
// does wrong with memory, the checks below what it does wrong with the rules.

#include "Configuration.h"
#include "IniFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkValue(const IniFile &file, QByteArrayView section, QByteArrayView key)
{
    const std::optional<QByteArray> value = file.value(section, key);
    if (!value)
        return;
    check(value->size() <= IniFile::MaxValueLength);
    check(!value->contains('\0'));
    const QByteArray stored = Unscramble(*value);
    check(stored.size() == value->size());
    check(Unscramble(stored) == *value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const IniFile file(text);

    checkValue(file, "db", "main");
    checkValue(file, "db", "pw");
    // Names taken from the input itself reach sections and keys the fixed ones never do.
    const qsizetype half = qMin<qsizetype>(text.size() / 2, 8);
    checkValue(file, QByteArrayView(text).first(half), QByteArrayView(text).sliced(half, half));

    const QString path = QString::fromLatin1(text);
    const QString ini = configurationPathFor(path);
    check(ini.endsWith(QLatin1String(".ini")));
    check(ini.size() <= path.size() + 4);
    return 0;
}
