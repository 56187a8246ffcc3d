#pragma once

#include "notify/StatusRecord.h"

#include <QString>

// Opens a non-modal message box titled "Pylarix" with the information icon and the status
// message's text, above other windows, deleted when closed. Must be called on the main thread;
// returns at once.
void ShowStatusMessage(const CStatusRecord& record);
// The same box with any text.
void ShowInformationMessage(const QString& text);
