// The picture loading path: the input as a monitor's .ico and .bmp pictures, loaded through
// LoadBoxPictures, then the gray copies of whatever loaded.
#include "pictures/BoxPictures.h"
#include "pictures/GrayCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {
QTemporaryDir* Folder = nullptr;
QCoreApplication* App = nullptr;

void WriteInput(const QString& path, const std::uint8_t* data, std::size_t size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Qt's readers warn about every refused picture; that is the expected outcome here.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    App = new QCoreApplication(*argc, *argv);
    Folder = new QTemporaryDir(QDir::tempPath() + "/pylarix-fuzz-pictures-XXXXXX");
    std::atexit([] {
        delete Folder;
        delete App;
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString pictures = Folder->path() + "/";
    WriteInput(pictures + "pic.ico", data, size);
    WriteInput(pictures + "pic.BMP", data, size);

    CMonitorBox box(nullptr, 0);
    box.OnLinePicPath = pictures + "pic.ico";
    box.OffLinePicPath = pictures + "pic.BMP";
    LoadBoxPictures(box);
    if (box.PicTypeOnLine != 1 || (box.PicTypeOffLine == 0) == box.OffLineBitmap.IsNull())
        std::abort();
    if (box.OnLineIcon.Width != box.OnLineIcon.Image.width() ||
        box.OnLineIcon.Height != box.OnLineIcon.Image.height())
        std::abort();

    const CGrayCopyResult icon = MakeGrayCopy("pic.ico", box.OnLinePicPath, 1, box.OnLineIcon, pictures);
    if (icon.Written != !box.OnLineIcon.IsNull())
        std::abort();
    const CGrayCopyResult bitmap = MakeGrayCopy("pic.BMP", box.OffLinePicPath, 0, CBoxIcon(), pictures);

    // The copies load again as pictures of a box; loading twice keeps nothing from the first time.
    box.OnLinePicPath = icon.OffLinePicPath;
    box.OffLinePicPath = bitmap.OffLinePicPath;
    LoadBoxPictures(box);
    if (icon.Written && box.OnLineIcon.IsNull())
        std::abort();
    LoadBoxPictures(box);
    QFile::remove(pictures + "pic_GSC.ico");
    QFile::remove(pictures + "pic_GSC.bmp");
    return 0;
}
