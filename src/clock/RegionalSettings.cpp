#include "RegionalSettings.h"

RegionalSettings RegionalSettings::fromLocale(const QLocale &)
{
    return RegionalSettings();
}
