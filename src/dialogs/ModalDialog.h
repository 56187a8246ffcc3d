#pragma once

class QDialog;

// Runs a dialog modal to its owner window alone (to no window when it has none), never to the
// whole program, so the tray icon and the program's other windows keep answering while it is
// open. Returns the dialog's result.
int ExecModalToOwner(QDialog& dialog);
