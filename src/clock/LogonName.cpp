#include "LogonName.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

#include <cstring>

QString GetLogonName()
{
    constexpr int bufferSize = 128;
#ifdef _WIN32
    char buffer[bufferSize] = {};
    DWORD size = bufferSize;
    // On failure the zeroed buffer gives an empty name, which is no employee's.
    GetUserNameA(buffer, &size);
    return QString::fromLocal8Bit(buffer, static_cast<int>(strnlen(buffer, bufferSize - 1)));
#else
    const passwd *entry = getpwuid(geteuid());
    if (!entry || !entry->pw_name)
        return QString();
    return QString::fromLocal8Bit(entry->pw_name,
                                  static_cast<int>(strnlen(entry->pw_name, bufferSize - 1)));
#endif
}
