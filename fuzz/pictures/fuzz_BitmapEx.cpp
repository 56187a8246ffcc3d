// CBitmapEx::LoadBmp on a file holding the input, then every conversion and the save.
#include "pictures/BitmapEx.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {
QTemporaryDir* Folder = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Folder = new QTemporaryDir(QDir::tempPath() + "/pylarix-fuzz-bmp-XXXXXX");
    std::atexit([] { delete Folder; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString in = Folder->filePath("in.bmp");
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    CBitmapEx bitmap;
    const bool loaded = bitmap.LoadBmp(in);
    if (loaded != bitmap.HasPixels())
        std::abort();
    if (!loaded)
        return 0;
    if (bitmap.Pixels.size() != std::size_t(bitmap.RowLength) * std::size_t(bitmap.InfoHeader.Height) ||
        bitmap.BytesPerPixel != 4)
        std::abort();
    bitmap.ToGray();
    const QString out = Folder->filePath("out.bmp");
    if (!bitmap.SaveBmp(out))
        std::abort();
    // What was written loads again with the same size.
    CBitmapEx again;
    if (!again.LoadBmp(out) || again.InfoHeader.Width != bitmap.InfoHeader.Width ||
        again.InfoHeader.Height != bitmap.InfoHeader.Height || again.Pixels.size() != bitmap.Pixels.size())
        std::abort();
    bitmap.To24Bit();
    bitmap.To32Bit();
    return 0;
}
