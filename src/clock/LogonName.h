#pragma once

#include <QString>

// The name under which the current user logged on; at most 127 characters.
QString GetLogonName();
