// Renders the program's scalable artwork into the files that are shipped: PNG icons for the
// desktop's icon theme, and the first-run box pictures as multi-size ICO files with their gray
// off-line copies, written by the program's own ICO writer.
#include "pictures/IconFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

QImage Render(const QString& svgPath, int size) {
    QImageReader reader(svgPath, "svg");
    reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (image.isNull())
        std::fprintf(stderr, "cannot render %s at %d: %s\n", qPrintable(svgPath), size,
                     qPrintable(reader.errorString()));
    return image;
}

bool ParseSizes(const QStringList& args, std::vector<int>& sizes) {
    for (const QString& arg : args) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size < 1 || size > 256)
            return false;
        sizes.push_back(size);
    }
    return !sizes.empty();
}

// <folder>/<N>x<N>/apps/<name>.png for every size.
int WritePngs(const QString& svgPath, const QString& folder, const QString& name,
              const std::vector<int>& sizes) {
    for (int size : sizes) {
        const QImage image = Render(svgPath, size);
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        if (image.isNull() || !QDir().mkpath(dir) || !image.save(dir + "/" + name + ".png", "png")) {
            std::fprintf(stderr, "cannot write the %d pixel icon into %s\n", size, qPrintable(dir));
            return 1;
        }
    }
    return 0;
}

// The sizes in the order given: the first image is the one a box shows.
int WriteIcons(const QString& svgPath, const QString& onLinePath, const QString& offLinePath,
               const std::vector<int>& sizes) {
    std::vector<CBoxIcon> colour;
    std::vector<CBoxIcon> gray;
    for (int size : sizes) {
        CBoxIcon icon;
        icon.Image = Render(svgPath, size);
        if (icon.IsNull())
            return 1;
        icon.Width = icon.Height = size;
        std::optional<CBoxIcon> grayIcon = MakeGrayIcon(icon);
        if (!grayIcon)
            return 1;
        colour.push_back(std::move(icon));
        gray.push_back(std::move(*grayIcon));
    }
    const int count = static_cast<int>(sizes.size());
    if (!SaveIconFile(onLinePath, colour.data(), count) || !SaveIconFile(offLinePath, gray.data(), count)) {
        std::fprintf(stderr, "cannot write %s or %s\n", qPrintable(onLinePath), qPrintable(offLinePath));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    std::vector<int> sizes;
    if (args.size() >= 6 && args[1] == "png" && ParseSizes(args.mid(5), sizes))
        return WritePngs(args[2], args[3], args[4], sizes);
    if (args.size() >= 6 && args[1] == "ico" && ParseSizes(args.mid(5), sizes))
        return WriteIcons(args[2], args[3], args[4], sizes);
    std::fprintf(stderr,
                 "usage: %s png <svg> <folder> <name> <size>...\n"
                 "       %s ico <svg> <on-line.ico> <off-line.ico> <size>...\n",
                 argv[0], argv[0]);
    return 2;
}
