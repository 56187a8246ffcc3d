#pragma once

#include "monitor/MonitorBox.h"
#include "pictures/BoxPictures.h"

// Loads a record's pictures from its two paths, as the strip window does at load.
inline void LoadBoxPictures(CMonitorBox& box) {
    box.SetPictures(LoadBoxPictures(box.OnLinePicPath, box.OffLinePicPath));
}
