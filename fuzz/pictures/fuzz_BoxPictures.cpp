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

    const QString onPath = pictures + "pic.ico";
    const QString offPath = pictures + "pic.BMP";
    CBoxPictures box = LoadBoxPictures(onPath, offPath);
    if (box.OnLine.Type != 1 || (box.OffLine.Type == 0) == box.OffLine.Bitmap.IsNull())
        std::abort();
    if (box.OnLine.Icon.Width != box.OnLine.Icon.Image.width() ||
        box.OnLine.Icon.Height != box.OnLine.Icon.Image.height())
        std::abort();

    const CGrayCopyResult icon = MakeGrayCopy("pic.ico", onPath, 1, box.OnLine.Icon, pictures);
    if (icon.Written != !box.OnLine.Icon.IsNull())
        std::abort();
    const CGrayCopyResult bitmap = MakeGrayCopy("pic.BMP", offPath, 0, CBoxIcon(), pictures);

    // The copies load again as pictures of a box; loading twice keeps nothing from the first time.
    box = LoadBoxPictures(icon.OffLinePicPath, bitmap.OffLinePicPath);
    if (icon.Written && box.OnLine.Icon.IsNull())
        std::abort();
    box = LoadBoxPictures(icon.OffLinePicPath, bitmap.OffLinePicPath);
    QFile::remove(pictures + "pic_GSC.ico");
    QFile::remove(pictures + "pic_GSC.bmp");
    return 0;
}
