#pragma once

#include "AdminCommand.h"
#include "AuditTrail.h"

class AdminTool;

// The office's commands of zeiterfassung-admin. context gives the login name that the
// audit trail records and the local clock.
void addOfficeCommands(AdminTool &tool, const ChangeContext &context);

// The login name of the user running the command and the machine's local clock.
ChangeContext systemChangeContext();
