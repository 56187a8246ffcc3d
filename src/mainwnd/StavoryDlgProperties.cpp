#include "mainwnd/StavoryDlg.h"

// The global properties command.

void CStavoryDlg::OnProperties() {
    // The global properties dialog is not part of the program yet.
}
