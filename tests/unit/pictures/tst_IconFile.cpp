#include "pictures/IconFile.h"
#include "support/BmpFixture.h"

#include <QBuffer>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

class TestIconFile : public QObject {
    Q_OBJECT
private slots:
    void grayPixels_data();
    void grayPixels();
    void grayLeavesSourceAndRecordsSize();
    void grayOfNothingIsNone();
    void fileLayout();
    void maskRowsPadded_data();
    void maskRowsPadded();
    void severalIcons();
    void nothingToWrite_data();
    void nothingToWrite();
    void unwritablePath();
    void qtReadsGrayIconBack_data();
    void qtReadsGrayIconBack();
};

namespace {

CBoxIcon IconOf(const QImage& image) {
    CBoxIcon icon;
    icon.Image = image;
    icon.Width = image.width();
    icon.Height = image.height();
    return icon;
}

QByteArray Bytes(const std::vector<std::uint8_t>& v) {
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

} // namespace

void TestIconFile::grayPixels_data() {
    QTest::addColumn<QRgb>("in");
    QTest::addColumn<QRgb>("out");
    QTest::newRow("transparent black kept") << qRgba(0, 0, 0, 0) << qRgba(0, 0, 0, 0);
    QTest::newRow("opaque white to 254") << qRgba(255, 255, 255, 255) << qRgba(254, 254, 254, 255);
    QTest::newRow("opaque black") << qRgba(0, 0, 0, 255) << qRgba(0, 0, 0, 255);
    QTest::newRow("red is the plain average") << qRgba(255, 0, 0, 255) << qRgba(85, 85, 85, 255);
    QTest::newRow("alpha kept") << qRgba(30, 60, 90, 128) << qRgba(60, 60, 60, 128);
    QTest::newRow("transparent white grayed, still transparent")
        << qRgba(255, 255, 255, 0) << qRgba(254, 254, 254, 0);
    QTest::newRow("transparent near black averaging 0 kept") << qRgba(1, 1, 0, 0) << qRgba(1, 1, 0, 0);
    QTest::newRow("average rounds down") << qRgba(1, 1, 2, 255) << qRgba(1, 1, 1, 255);
}

void TestIconFile::grayPixels() {
    QFETCH(QRgb, in);
    QFETCH(QRgb, out);
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, in);
    img.setPixel(1, 0, qRgba(10, 20, 30, 255));
    const std::optional<QImage> gray = MakeGrayIcon(img);
    QVERIFY(gray);
    QCOMPARE(gray->format(), QImage::Format_ARGB32);
    QCOMPARE(QString::number(gray->pixel(0, 0), 16), QString::number(out, 16));
    QCOMPARE(QString::number(gray->pixel(1, 0), 16), QString::number(qRgba(20, 20, 20, 255), 16));
}

void TestIconFile::grayLeavesSourceAndRecordsSize() {
    QImage img(5, 3, QImage::Format_ARGB32);
    img.fill(qRgba(200, 100, 0, 255));
    const CBoxIcon source = IconOf(img);
    const std::optional<CBoxIcon> gray = MakeGrayIcon(source);
    QVERIFY(gray);
    QCOMPARE(gray->Width, 5);
    QCOMPARE(gray->Height, 3);
    QCOMPARE(source.Image.pixel(4, 2), qRgba(200, 100, 0, 255));
    QCOMPARE(gray->Image.pixel(4, 2), qRgba(100, 100, 100, 255));
}

void TestIconFile::grayOfNothingIsNone() {
    QVERIFY(!MakeGrayIcon(CBoxIcon()));
    QVERIFY(!MakeGrayIcon(QImage()));
}

void TestIconFile::fileLayout() {
    // 3 x 2: top row opaque white, transparent black, opaque red; bottom row blue, 50% green, transparent
    // white
    QImage img(3, 2, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 255, 255, 255));
    img.setPixel(1, 0, qRgba(0, 0, 0, 0));
    img.setPixel(2, 0, qRgba(255, 0, 0, 255));
    img.setPixel(0, 1, qRgba(0, 0, 255, 255));
    img.setPixel(1, 1, qRgba(0, 255, 0, 128));
    img.setPixel(2, 1, qRgba(255, 255, 255, 0));
    const CBoxIcon icon = IconOf(img);
    const QByteArray f = Bytes(IconFileBytes(&icon, 1));

    const int colourSize = 12 * 2, maskSize = 4 * 2;
    QCOMPARE(f.size(), 6 + 16 + 40 + colourSize + maskSize);
    QCOMPARE(f.left(6), QByteArray("\0\0\1\0\1\0", 6));
    // directory entry
    QCOMPARE(int(std::uint8_t(f[6])), 3);
    QCOMPARE(int(std::uint8_t(f[7])), 2);
    QCOMPARE(int(std::uint8_t(f[8])), 0);
    QCOMPARE(int(std::uint8_t(f[9])), 0);
    QCOMPARE(LeU16(f, 10), std::uint16_t(1));
    QCOMPARE(LeU16(f, 12), std::uint16_t(32));
    QCOMPARE(LeU32(f, 14), std::uint32_t(40 + colourSize + maskSize));
    QCOMPARE(LeU32(f, 18), 22u);
    // info header
    QCOMPARE(LeU32(f, 22), 40u);
    QCOMPARE(LeU32(f, 26), 3u);
    QCOMPARE(LeU32(f, 30), 4u);
    QCOMPARE(LeU16(f, 34), std::uint16_t(1));
    QCOMPARE(LeU16(f, 36), std::uint16_t(32));
    QCOMPARE(LeU32(f, 38), 0u);
    QCOMPARE(LeU32(f, 42), std::uint32_t(colourSize + maskSize));
    QCOMPARE(f.mid(46, 16), QByteArray(16, '\0'));
    // colour rows, bottom row first, B G R A
    QCOMPARE(f.mid(62, 12).toHex(), QByteArray("ff0000ff00ff0080ffffff00"));
    QCOMPARE(f.mid(74, 12).toHex(), QByteArray("ffffffff000000000000ffff"));
    // mask rows, bottom row first: set where transparent, MSB is the leftmost pixel
    QCOMPARE(f.mid(86, 4).toHex(), QByteArray("20000000"));
    QCOMPARE(f.mid(90, 4).toHex(), QByteArray("40000000"));
}

void TestIconFile::maskRowsPadded_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("maskRow");
    QTest::newRow("1") << 1 << 4;
    QTest::newRow("8") << 8 << 4;
    QTest::newRow("32") << 32 << 4;
    QTest::newRow("33") << 33 << 8;
    QTest::newRow("48") << 48 << 8;
    QTest::newRow("65") << 65 << 12;
}

void TestIconFile::maskRowsPadded() {
    QFETCH(int, width);
    QFETCH(int, maskRow);
    const int height = 3;
    QImage img(width, height, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 0, 0));
    const CBoxIcon icon = IconOf(img);
    const QByteArray f = Bytes(IconFileBytes(&icon, 1));
    const int imageSize = (width * 4 + maskRow) * height;
    QCOMPARE(f.size(), 22 + 40 + imageSize);
    QCOMPARE(LeU32(f, 42), std::uint32_t(imageSize));
    QCOMPARE(LeU32(f, 14), std::uint32_t(imageSize + 40));
    // every mask bit of a real pixel is set, the padding bits are zero
    const QByteArray mask = f.right(maskRow);
    for (int x = 0; x < maskRow * 8; ++x) {
        const bool bit = (std::uint8_t(mask[x / 8]) >> (7 - x % 8)) & 1;
        QCOMPARE(bit, x < width);
    }
}

void TestIconFile::severalIcons() {
    QImage a(2, 2, QImage::Format_ARGB32);
    a.fill(qRgba(1, 2, 3, 255));
    QImage b(4, 1, QImage::Format_ARGB32);
    b.fill(qRgba(4, 5, 6, 255));
    const CBoxIcon icons[2] = {IconOf(a), IconOf(b)};
    const QByteArray f = Bytes(IconFileBytes(icons, 2));
    QCOMPARE(LeU16(f, 4), std::uint16_t(2));
    const std::uint32_t sizeA = (8 + 4) * 2, sizeB = 16 + 4;
    QCOMPARE(LeU32(f, 18), 38u);
    QCOMPARE(LeU32(f, 14), sizeA + 40);
    QCOMPARE(LeU32(f, 16 + 18), 38 + 40 + sizeA);
    QCOMPARE(LeU32(f, 16 + 14), sizeB + 40);
    QCOMPARE(f.size(), int(38 + 40 + sizeA + 40 + sizeB));
    QCOMPARE(LeU32(f, int(38 + 40 + sizeA) + 4), 4u);
}

void TestIconFile::nothingToWrite_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("nullArray");
    QTest::addColumn<bool>("emptyIcon");
    QTest::newRow("count 0") << 0 << false << false;
    QTest::newRow("negative count") << -1 << false << false;
    QTest::newRow("no icons") << 1 << true << false;
    QTest::newRow("icon without a picture") << 1 << false << true;
}

void TestIconFile::nothingToWrite() {
    QFETCH(int, count);
    QFETCH(bool, nullArray);
    QFETCH(bool, emptyIcon);
    QImage img(2, 2, QImage::Format_ARGB32);
    img.fill(Qt::white);
    const CBoxIcon icon = emptyIcon ? CBoxIcon() : IconOf(img);
    QTemporaryDir dir;
    const QString path = dir.filePath("x.ico");
    QVERIFY(!SaveIconFile(path, nullArray ? nullptr : &icon, count));
    QVERIFY(!QFile::exists(path));
}

void TestIconFile::unwritablePath() {
    QImage img(2, 2, QImage::Format_ARGB32);
    img.fill(Qt::white);
    const CBoxIcon icon = IconOf(img);
    QTemporaryDir dir;
    QVERIFY(!SaveIconFile(dir.filePath("missing/x.ico"), &icon, 1));
    QVERIFY(!SaveIconFile(dir.path(), &icon, 1));
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestIconFile::qtReadsGrayIconBack_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("16 x 16") << QSize(16, 16);
    QTest::newRow("32 x 32") << QSize(32, 32);
    QTest::newRow("1 x 1") << QSize(1, 1);
    QTest::newRow("33 x 7, padded mask rows") << QSize(33, 7);
    QTest::newRow("48 x 32") << QSize(48, 32);
}

void TestIconFile::qtReadsGrayIconBack() {
    QFETCH(QSize, size);
    const int w = size.width(), h = size.height();
    // a transparent frame, an opaque white inside, a red bottom-left and a half-transparent
    // blue top-right corner
    QImage img(size, QImage::Format_ARGB32);
    img.fill(qRgba(0, 0, 0, 0));
    for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
            img.setPixel(x, y, qRgba(255, 255, 255, 255));
    img.setPixel(0, h - 1, qRgba(255, 0, 0, 255));
    img.setPixel(w - 1, 0, qRgba(0, 0, 255, 100));
    const std::optional<CBoxIcon> gray = MakeGrayIcon(IconOf(img));
    QVERIFY(gray);
    QTemporaryDir dir;
    const QString path = dir.filePath("1274607096_Desktop_GSC.ico");
    QVERIFY(SaveIconFile(path, &*gray, 1));

    QImageReader reader(path, "ico");
    QImage back = reader.read();
    QVERIFY2(!back.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(back.size(), size);
    back = back.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRgb want = (x > 0 && y > 0 && x < w - 1 && y < h - 1) ? qRgba(254, 254, 254, 255) : 0;
            if (x == w - 1 && y == 0)
                want = qRgba(85, 85, 85, 100); // set last, so it wins in a 1 x 1 icon
            else if (x == 0 && y == h - 1)
                want = qRgba(85, 85, 85, 255);
            const QRgb got = back.pixel(x, y);
            const QString where = QString("pixel %1,%2: %3").arg(x).arg(y).arg(got, 8, 16);
            QVERIFY2(qAlpha(got) == qAlpha(want), qPrintable(where));
            if (qAlpha(want) == 0)
                continue;
            // the reader keeps half-transparent pixels premultiplied, which may cost one step
            const int tolerance = qAlpha(want) == 255 ? 0 : 1;
            QVERIFY2(std::abs(qRed(got) - qRed(want)) <= tolerance && qRed(got) == qGreen(got) &&
                         qGreen(got) == qBlue(got),
                     qPrintable(where));
        }
    }
}

QTEST_GUILESS_MAIN(TestIconFile)
#include "tst_IconFile.moc"
