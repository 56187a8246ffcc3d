#include "mainwnd/StavoryDlg.h"

#include "config/ConfigFile.h"
#include "config/IniFile.h"
#include "dialogs/ModalDialog.h"
#include "dialogs/PropertiesDlg.h"
#include "mainwnd/StatusMessageBox.h"
#include "monitor/SharedTiming.h"

// The global properties command.

void CStavoryDlg::OnProperties() {
    if (!PropertiesDlg) {
        PropertiesDlg = std::make_unique<CPropertiesDlg>(this);
        PropertiesDlg->AutostartEntryPath = DataPaths.AutostartEntryPath;
        PropertiesDlg->ProgramFilePath = DataPaths.ProgramFilePath;
        PropertiesDlg->ProgramFolder = DataPaths.ProgramFolder;
        PropertiesDlg->ApplyProperties = [this] { OnApplyProperties(); };
        PropertiesDlg->OpacityChanged = [this](int alpha) { setWindowOpacity(alpha / 255.0); };
        PropertiesDlg->ShowMessageText = &ShowInformationMessage;
        SetOwnedDialog(OwnedDialog::Properties, PropertiesDlg.get());
    }
    CPropertiesDlg& dlg = *PropertiesDlg;
    if (dlg.isVisible()) {
        // Already running: brought to the front, never run a second time inside itself.
        RestoreAndRaise(&dlg);
        return;
    }
    CopySettingsToFields(GlobalSettings, VerifyTime.load(), TimeOut.load(), dlg.Fields);
    dlg.Opening();
    // Modal to the strip only: the tray icon keeps answering.
    if (ExecModalToOwner(dlg) == QDialog::Accepted) {
        OnApplyProperties();
        return;
    }
    // The slider may have moved the opacity; the volume stays as the dialog left it.
    setWindowOpacity(GlobalSettings.Transparent / 255.0);
    raise();
    ApplyStacking(false);
}

void CStavoryDlg::OnApplyProperties() {
    if (!PropertiesDlg || TornDown)
        return;
    const CPropertiesFields& fields = PropertiesDlg->Fields;
    CopyFieldsToSettings(fields, GlobalSettings);
    // Workers read these at every check: the next sleep and probe use them.
    TimeOut.store(fields.TimeOut);
    VerifyTime.store(fields.VerifyTime);

    if (fields.HideTaskBarButton != GlobalSettings.HideTaskBarButton) {
        GlobalSettings.HideTaskBarButton = fields.HideTaskBarButton;
        SetTaskbarButtonHidden(fields.HideTaskBarButton != 0);
    }
    FitWindowToStrip();
    WriteGlobalProperties(*ConfigFile, *MainIniFile, GlobalSettings, fields.VerifyTime, fields.TimeOut);
    if (PropertiesDlg->isVisible()) {
        PropertiesDlg->raise();
        PropertiesDlg->activateWindow();
    }
}
