#include "strip/ProgramArt.h"

#include <QtGlobal>

// Outside any namespace: the resource's init function is declared where this is expanded.
static void EnsureArtRegistered() {
    // The pictures live in a static library: registering them here pulls them into every program
    // that shows one.
    static bool registered = false;
    if (!registered) {
        Q_INIT_RESOURCE(icons);
        registered = true;
    }
}

QString ArtPath(ArtPicture picture) {
    EnsureArtRegistered();
    switch (picture) {
    case ArtPicture::None:
        return {};
    case ArtPicture::Program:
        return QStringLiteral(":/icons/program.svg");
    case ArtPicture::Tray:
        return QStringLiteral(":/icons/tray.svg");
    case ArtPicture::About:
        return QStringLiteral(":/icons/about.svg");
    case ArtPicture::Help:
        return QStringLiteral(":/icons/help.svg");
    case ArtPicture::RadioOn:
        return QStringLiteral(":/icons/radio_on.svg");
    case ArtPicture::RadioOff:
        return QStringLiteral(":/icons/radio_off.svg");
    case ArtPicture::Show:
        return QStringLiteral(":/icons/show.svg");
    case ArtPicture::Logs:
        return QStringLiteral(":/icons/logs.svg");
    case ArtPicture::Backup:
        return QStringLiteral(":/icons/backup.svg");
    case ArtPicture::Restore:
        return QStringLiteral(":/icons/restore.svg");
    case ArtPicture::Reset:
        return QStringLiteral(":/icons/reset.svg");
    case ArtPicture::Properties:
        return QStringLiteral(":/icons/properties.svg");
    case ArtPicture::Exit:
        return QStringLiteral(":/icons/exit.svg");
    case ArtPicture::TestButton:
        return QStringLiteral(":/icons/test.svg");
    case ArtPicture::OkButton:
        return QStringLiteral(":/icons/ok.svg");
    case ArtPicture::CancelButton:
        return QStringLiteral(":/icons/cancel.svg");
    case ArtPicture::ApplyButton:
        return QStringLiteral(":/icons/apply.svg");
    }
    return {};
}

QIcon ArtIcon(ArtPicture picture) {
    if (picture == ArtPicture::None)
        return QIcon();
    EnsureArtRegistered();
    return QIcon(ArtPath(picture));
}
