#include "mainwnd/WindowPrompts.h"

#include "dialogs/ModalDialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

bool CWindowPrompts::AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return ExecModalToOwner(box) == QMessageBox::Yes;
}

void CWindowPrompts::ShowMessage(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    ExecModalToOwner(box);
}

QString CWindowPrompts::SaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // The overwrite question is the dialog's own (on by default).
    if (ExecModalToOwner(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString CWindowPrompts::OpenFileName(QWidget* parent, const QString& filter) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Like the platform's Open dialog, a name may be typed that does not exist; the command
    // then ends quietly.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (ExecModalToOwner(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void CWindowPrompts::OpenWithDesktop(const QString& pathOrUrl) {
    const QUrl url = QFileInfo(pathOrUrl).isAbsolute() ? QUrl::fromLocalFile(pathOrUrl) : QUrl(pathOrUrl);
    QDesktopServices::openUrl(url);
}
