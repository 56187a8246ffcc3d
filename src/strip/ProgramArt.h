#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, drawn for it as scalable artwork.
enum class ArtPicture {
    None,    // no picture
    Program, // window, about box and taskbar
    Tray,    // notification area
    About,
    Help,
    RadioOn,
    RadioOff,
    Show,
    Logs,
    Backup,
    Restore,
    Reset,
    Properties,
    Exit,
    TestButton,
    OkButton,
    CancelButton,
    ApplyButton,
};

// Resource path of a picture (":/icons/<name>.svg"); empty for None.
// Resource path of a picture (":/icons/<name>.svg"); empty for None.
QString ArtPath(ArtPicture picture);
// An empty icon for None.
QIcon ArtIcon(ArtPicture picture);
