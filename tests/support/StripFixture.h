#pragma once

#include "config/GlobalSettings.h"
#include "monitor/MonitorTable.h"
#include "strip/StripOps.h"

#include <memory>

// A strip of 90 x 80 boxes with every line shown, and boxes with a label, an address, port 443 and
// a reply time of 12 ms in the colours a test recognises (0x00BBGGRR values).
struct CStripFixture {
    CMonitorTable Table;
    CGlobalSettings Settings;
    StripSelection Selection;

    explicit CStripFixture(bool horizontal = true) {
        Settings.XBox = 90;
        Settings.YBox = 80;
        Settings.WinPos = horizontal ? 1 : 0;
        Settings.ShowReplyTime = true;
        Settings.ShowStatus = true;
        Settings.ShowIPandMethod = true;
    }

    CMonitorBox& AddBox(MonitorStatus status, int method, COLORREF onBox, COLORREF offBox, COLORREF onText,
                        COLORREF offText) {
        const int i = Table.NumBox++;
        Table.Slots[i] = std::make_unique<CMonitorBox>(nullptr, i);
        CMonitorBox& b = *Table.Slots[i];
        b.Status = status;
        b.VerifyMetod = method;
        b.Port = 443;
        b.Text = "Host";
        b.IPAdress = "10.0.0.1";
        b.ReplyTime = 12;
        b.OnLineBoxColor = onBox;
        b.OffLineBoxColor = offBox;
        b.OnLineTextColor = onText;
        b.OffLineTextColor = offText;
        return b;
    }
};
