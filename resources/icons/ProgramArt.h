#pragma once

#include <QIcon>
#include <QString>

// The program's pictures, drawn for it as scalable artwork.
enum class ArtPicture {
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

// Resource path of a picture (":/icons/<name>.svg").
QString ArtPath(ArtPicture picture);
QIcon ArtIcon(ArtPicture picture);
