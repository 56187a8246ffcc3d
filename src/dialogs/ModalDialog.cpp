#include "dialogs/ModalDialog.h"

#include <QDialog>

int ExecModalToOwner(QDialog& dialog) {
    // exec() makes a dialog that names no modality modal to the application.
    dialog.setWindowModality(Qt::WindowModal);
    return dialog.exec();
}
