#include "pictures/BitmapEx.h"
#include "support/BmpFixture.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestBitmapEx : public QObject {
    Q_OBJECT
private slots:
    void loadsThreeWide24Bit();
    void savesGrayThreeWide24Bit_data();
    void savesGrayThreeWide24Bit();
    void keepsHeaderFieldsAsRead();
    void savedGrayReadsBackInQt();
    void loadsDepths_data();
    void loadsDepths();
    void grayValues_data();
    void grayValues();
    void rejectsMalformed_data();
    void rejectsMalformed();
    void rejectsFromFileAndSavesNothing();
    void loadsFromFile_data();
    void loadsFromFile();
    void unopenableFileChangesNothing();
    void saveFailsWhenFileCannotBeCreated();
    void emptyObjectSavesNothing();
};

namespace {

BmpFixture Valid8Bit() {
    BmpFixture f;
    f.Width = 2;
    f.Height = 1;
    f.BitCount = 8;
    f.ClrUsed = 2;
    f.Palette = {10, 20, 30, 0, 40, 50, 60, 0};
    f.Rows = {1, 0, 0, 0};
    return f;
}

bool Load(CBitmapEx& b, const QByteArray& bytes) {
    return b.LoadBmpData(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
}

QByteArray SavedBytes(CBitmapEx& b) {
    const std::vector<std::uint8_t> v = b.BmpFileBytes();
    return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

} // namespace

void TestBitmapEx::loadsThreeWide24Bit() {
    CBitmapEx b;
    QVERIFY(Load(b, BmpFixture::ThreeWide24(2).Bytes()));
    QCOMPARE(b.InfoHeader.Width, 3);
    QCOMPARE(b.InfoHeader.Height, 2);
    QCOMPARE(b.BytesPerPixel, 4u);
    QCOMPARE(b.RowLength, 12u);
    QCOMPARE(b.ImageSize, 24u);
    QCOMPARE(b.InfoHeader.BitCount, std::uint16_t(32));
    QCOMPARE(b.FileHeader.OffBits, 54u);
    QCOMPARE(b.FileHeader.Size, 54u + 24u);
    const std::vector<std::uint8_t> expected = {255, 255, 255, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    QCOMPARE(b.Pixels.size(), std::size_t(24));
    for (int row = 0; row < 2; ++row)
        QVERIFY(std::equal(expected.begin(), expected.end(), b.Pixels.begin() + row * 12));
}

void TestBitmapEx::savesGrayThreeWide24Bit_data() {
    QTest::addColumn<int>("height");
    QTest::newRow("one row") << 1;
    QTest::newRow("two rows") << 2;
    QTest::newRow("five rows") << 5;
}

void TestBitmapEx::savesGrayThreeWide24Bit() {
    QFETCH(int, height);
    CBitmapEx b;
    QVERIFY(Load(b, BmpFixture::ThreeWide24(height).Bytes()));
    b.ToGray();
    QTemporaryDir dir;
    const QString path = dir.filePath("gray.bmp");
    QVERIFY(b.SaveBmp(path));
    const QByteArray f = ReadAll(path);

    QCOMPARE(f.size(), 54 + 12 * height);
    QCOMPARE(LeU16(f, 0), std::uint16_t(0x4D42));
    QCOMPARE(LeU32(f, 2), std::uint32_t(54 + 12 * height));
    QCOMPARE(LeU32(f, 10), 54u);
    QCOMPARE(LeU32(f, 18), 3u);
    QCOMPARE(LeU32(f, 22), std::uint32_t(height));
    QCOMPARE(LeU16(f, 28), std::uint16_t(24));
    QCOMPARE(LeU32(f, 30), 0u);
    // white 254, red (76*255)>>8 = 75, blue (29*255)>>8 = 28; filler bytes zero
    const QByteArray row("\xFE\xFE\xFE\x4B\x4B\x4B\x1C\x1C\x1C\0\0\0", 12);
    for (int y = 0; y < height; ++y)
        QCOMPARE(f.mid(54 + 12 * y, 12), row);

    // back to 32 bits after the save
    QCOMPARE(b.BytesPerPixel, 4u);
    QCOMPARE(b.RowLength, 12u);
    QCOMPARE(b.InfoHeader.BitCount, std::uint16_t(32));
    QCOMPARE(int(b.Pixels[0]), 254);
}

void TestBitmapEx::keepsHeaderFieldsAsRead() {
    BmpFixture fix = BmpFixture::ThreeWide24(1);
    fix.XPels = 1234;
    fix.YPels = 5678;
    fix.ClrImportant = 7;
    fix.SizeImage = 99;
    CBitmapEx b;
    QVERIFY(Load(b, fix.Bytes()));
    const QByteArray f = SavedBytes(b);
    QCOMPARE(LeU32(f, 14), 40u);
    QCOMPARE(LeU16(f, 26), std::uint16_t(1));
    QCOMPARE(LeU32(f, 34), 99u);
    QCOMPARE(LeU32(f, 38), 1234u);
    QCOMPARE(LeU32(f, 42), 5678u);
    QCOMPARE(LeU32(f, 50), 7u);
}

void TestBitmapEx::savedGrayReadsBackInQt() {
    BmpFixture fix;
    fix.Width = 2;
    fix.Height = 2;
    fix.BitCount = 32;
    // bottom row: opaque green, black; top row: white, (R 100, G 50, B 200)
    fix.Rows = {0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 255, 255, 200, 50, 100, 255};
    CBitmapEx b;
    QVERIFY(Load(b, fix.Bytes()));
    b.ToGray();
    QTemporaryDir dir;
    const QString path = dir.filePath("g.bmp");
    QVERIFY(b.SaveBmp(path));
    const QImage img(path, "BMP");
    QVERIFY(!img.isNull());
    QCOMPARE(img.size(), QSize(2, 2));
    QCOMPARE(qRed(img.pixel(0, 1)), (150 * 255) >> 8);
    QCOMPARE(qRed(img.pixel(1, 1)), 0);
    QCOMPARE(qRed(img.pixel(0, 0)), 254);
    const int g = (76 * 100 + 150 * 50 + 29 * 200) >> 8;
    QCOMPARE(img.pixel(1, 0) & 0xFFFFFF, QRgb(g << 16 | g << 8 | g));
}

void TestBitmapEx::loadsDepths_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("pixel"); // index of the pixel checked in the 32-bit buffer
    QTest::addColumn<QByteArray>("bgra");

    BmpFixture p8 = Valid8Bit();
    QTest::newRow("8-bit palette index 1") << p8.Bytes() << 0 << QByteArray("\x28\x32\x3C\0", 4);
    QTest::newRow("8-bit palette index 0") << p8.Bytes() << 1 << QByteArray("\x0A\x14\x1E\0", 4);

    BmpFixture full = Valid8Bit();
    full.ClrUsed = 0; // 0 means a full 256-entry palette
    full.Palette.assign(256 * 4, 0);
    full.Palette[255 * 4] = 9;
    full.Palette[255 * 4 + 1] = 8;
    full.Palette[255 * 4 + 2] = 7;
    full.Rows = {255, 0, 0, 0};
    QTest::newRow("8-bit full palette") << full.Bytes() << 0 << QByteArray("\x09\x08\x07\0", 4);

    BmpFixture p16;
    p16.BitCount = 16;
    p16.Width = 3;
    // red 0x7C00, white 0x7FFF, green level 16 (0x0200), then 2 filler bytes
    p16.Rows = {0x00, 0x7C, 0xFF, 0x7F, 0x00, 0x02, 0xAA, 0xAA};
    QTest::newRow("16-bit red widened") << p16.Bytes() << 0 << QByteArray("\0\0\xFF\0", 4);
    QTest::newRow("16-bit white widened") << p16.Bytes() << 1 << QByteArray("\xFF\xFF\xFF\0", 4);
    QTest::newRow("16-bit mid green widened") << p16.Bytes() << 2 << QByteArray("\0\x84\0\0", 4);

    BmpFixture p32;
    p32.BitCount = 32;
    p32.Width = 1;
    p32.Rows = {1, 2, 3, 4};
    QTest::newRow("32-bit copied with fourth byte") << p32.Bytes() << 0 << QByteArray("\x01\x02\x03\x04", 4);

    BmpFixture tall = BmpFixture::ThreeWide24(3);
    tall.Rows[12] = 7; // second row from the bottom, first pixel's blue
    QTest::newRow("24-bit rows keep file order") << tall.Bytes() << 3 << QByteArray("\x07\xFF\xFF\0", 4);

    BmpFixture extra = BmpFixture::ThreeWide24(1);
    extra.OffBits = 1000; // the loader reads the pixels right after the headers
    extra.Rows.insert(extra.Rows.end(), {1, 2, 3});
    QTest::newRow("pixel offset not consulted, trailing bytes ignored")
        << extra.Bytes() << 1 << QByteArray("\0\0\xFF\0", 4);
}

void TestBitmapEx::loadsDepths() {
    QFETCH(QByteArray, file);
    QFETCH(int, pixel);
    QFETCH(QByteArray, bgra);
    CBitmapEx b;
    QVERIFY(Load(b, file));
    QCOMPARE(b.BytesPerPixel, 4u);
    QCOMPARE(b.Pixels.size(), std::size_t(b.InfoHeader.Width) * 4 * std::size_t(b.InfoHeader.Height));
    const QByteArray got(reinterpret_cast<const char*>(b.Pixels.data()) + pixel * 4, 4);
    QCOMPARE(got.toHex(), bgra.toHex());
}

void TestBitmapEx::grayValues_data() {
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("gray");
    QTest::newRow("white") << 255 << 255 << 255 << 254;
    QTest::newRow("red") << 255 << 0 << 0 << 75;
    QTest::newRow("green") << 0 << 255 << 0 << 149;
    QTest::newRow("blue") << 0 << 0 << 255 << 28;
    QTest::newRow("black") << 0 << 0 << 0 << 0;
    QTest::newRow("mixed") << 10 << 200 << 30 << (76 * 10 + 150 * 200 + 29 * 30) / 256;
}

void TestBitmapEx::grayValues() {
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(int, gray);
    BmpFixture f;
    f.BitCount = 32;
    f.Rows = {std::uint8_t(b), std::uint8_t(g), std::uint8_t(r), 0x55};
    CBitmapEx bmp;
    QVERIFY(Load(bmp, f.Bytes()));
    bmp.ToGray();
    QCOMPARE(int(bmp.Pixels[0]), gray);
    QCOMPARE(int(bmp.Pixels[1]), gray);
    QCOMPARE(int(bmp.Pixels[2]), gray);
    QCOMPARE(int(bmp.Pixels[3]), 0);
}

void TestBitmapEx::rejectsMalformed_data() {
    QTest::addColumn<QByteArray>("file");
    const QByteArray valid = BmpFixture::ThreeWide24(2).Bytes();
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("headers cut short") << valid.left(53);
    QTest::newRow("pixels one byte short") << valid.left(valid.size() - 1);
    {
        QByteArray v = Valid8Bit().Bytes();
        QTest::newRow("palette cut short") << v.left(54 + 6);
    }
    auto with = [](auto change) {
        BmpFixture f = BmpFixture::ThreeWide24(2);
        change(f);
        return f.Bytes();
    };
    QTest::newRow("1 bit per pixel") << with([](BmpFixture& f) { f.BitCount = 1; });
    QTest::newRow("4 bits per pixel") << with([](BmpFixture& f) { f.BitCount = 4; });
    QTest::newRow("0 bits per pixel") << with([](BmpFixture& f) { f.BitCount = 0; });
    QTest::newRow("48 bits per pixel") << with([](BmpFixture& f) { f.BitCount = 48; });
    QTest::newRow("RLE8 compression") << with([](BmpFixture& f) {
        f.BitCount = 8;
        f.Compression = 1;
    });
    QTest::newRow("bit-field compression") << with([](BmpFixture& f) {
        f.BitCount = 32;
        f.Compression = 3;
    });
    QTest::newRow("top-down (negative height)") << with([](BmpFixture& f) { f.Height = -2; });
    QTest::newRow("zero height") << with([](BmpFixture& f) { f.Height = 0; });
    QTest::newRow("zero width") << with([](BmpFixture& f) { f.Width = 0; });
    QTest::newRow("negative width") << with([](BmpFixture& f) { f.Width = -3; });
    QTest::newRow("sizes overflowing 32 bits") << with([](BmpFixture& f) {
        f.Width = 0x7FFFFFFF;
        f.Height = 0x7FFFFFFF;
    });
    QTest::newRow("row times height past 2 GiB") << with([](BmpFixture& f) {
        f.Width = 0x10000;
        f.Height = 0x10000;
    });
    QTest::newRow("not a BMP signature") << with([](BmpFixture& f) { f.Type = 0x4D43; });
    QTest::newRow("larger info header") << with([](BmpFixture& f) { f.InfoSize = 108; });
    QTest::newRow("core info header") << with([](BmpFixture& f) { f.InfoSize = 12; });
    {
        BmpFixture f = Valid8Bit();
        f.ClrUsed = 257;
        f.Palette.assign(257 * 4, 0);
        QTest::newRow("257 palette entries") << f.Bytes();
    }
    {
        BmpFixture f = Valid8Bit();
        f.ClrUsed = 0xFFFFFFFF;
        QTest::newRow("huge palette count") << f.Bytes();
    }
}

void TestBitmapEx::rejectsMalformed() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.bmp");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    CBitmapEx fromFile;
    QVERIFY(Load(fromFile, BmpFixture::ThreeWide24(1).Bytes()));
    QVERIFY(!fromFile.LoadBmp(path));
    QVERIFY(!fromFile.HasPixels());

    CBitmapEx b;
    QVERIFY(Load(b, BmpFixture::ThreeWide24(1).Bytes()));
    QVERIFY(!Load(b, file));
    QVERIFY(!b.HasPixels());
    QCOMPARE(b.ImageSize, 0u);
    QCOMPARE(b.RowLength, 0u);
    b.ToGray();
    b.To24Bit();
    b.To32Bit();
    QVERIFY(b.BmpFileBytes().empty());
}

void TestBitmapEx::rejectsFromFileAndSavesNothing() {
    QTemporaryDir dir;
    BmpFixture f = BmpFixture::ThreeWide24(2);
    f.BitCount = 4;
    const QString in = dir.filePath("four.bmp");
    QVERIFY(f.WriteTo(in));
    CBitmapEx b;
    QVERIFY(!b.LoadBmp(in));
    const QString out = dir.filePath("out.bmp");
    QVERIFY(!b.SaveBmp(out));
    QVERIFY(!QFile::exists(out));
}

void TestBitmapEx::loadsFromFile_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("bits");
    QTest::newRow("24-bit within the first read") << 3 << 2 << 24;
    QTest::newRow("24-bit past the first read") << 101 << 40 << 24;
    QTest::newRow("8-bit, 16 colours, past the first read") << 300 << 9 << 8;
    QTest::newRow("32-bit past the first read") << 64 << 64 << 32;
}

void TestBitmapEx::loadsFromFile() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, bits);
    BmpFixture f;
    f.Width = width;
    f.Height = height;
    f.BitCount = std::uint16_t(bits);
    if (bits == 8) {
        f.ClrUsed = 16;
        for (int i = 0; i < 16; ++i)
            f.Palette.insert(f.Palette.end(), {std::uint8_t(i), std::uint8_t(i * 2), std::uint8_t(i * 3), 0});
    }
    const int row = ((width * bits / 8) + 3) & ~3;
    f.Rows.resize(std::size_t(row * height), 0);
    // the very last pixel of the top row: index 5 or blue 5, green 10, red 15
    const int last = (height - 1) * row + (width - 1) * bits / 8;
    if (bits == 8) {
        f.Rows[std::size_t(last)] = 5;
    } else {
        f.Rows[std::size_t(last)] = 5;
        f.Rows[std::size_t(last + 1)] = 10;
        f.Rows[std::size_t(last + 2)] = 15;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("p.bmp");
    QVERIFY(f.WriteTo(path));
    CBitmapEx b;
    QVERIFY(b.LoadBmp(path));
    QCOMPARE(b.Pixels.size(), std::size_t(width) * 4 * std::size_t(height));
    const std::uint8_t* p = b.Pixels.data() + b.Pixels.size() - 4;
    QCOMPARE(int(p[0]), 5);
    QCOMPARE(int(p[1]), 10);
    QCOMPARE(int(p[2]), 15);
}

void TestBitmapEx::unopenableFileChangesNothing() {
    QTemporaryDir dir;
    CBitmapEx b;
    QVERIFY(Load(b, BmpFixture::ThreeWide24(2).Bytes()));
    QVERIFY(!b.LoadBmp(dir.filePath("missing.bmp")));
    QVERIFY(!b.LoadBmp(dir.path())); // a folder
    QCOMPARE(b.Pixels.size(), std::size_t(24));
    QCOMPARE(b.InfoHeader.Width, 3);
}

void TestBitmapEx::saveFailsWhenFileCannotBeCreated() {
    QTemporaryDir dir;
    CBitmapEx b;
    QVERIFY(Load(b, BmpFixture::ThreeWide24(1).Bytes()));
    const QString path = dir.filePath("no-such-folder/gray.bmp");
    QVERIFY(!b.SaveBmp(path));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(b.BytesPerPixel, 4u);
    QVERIFY(b.SaveBmp(dir.filePath("gray.bmp")));
}

void TestBitmapEx::emptyObjectSavesNothing() {
    QTemporaryDir dir;
    CBitmapEx b;
    const QString path = dir.filePath("empty.bmp");
    QVERIFY(!b.SaveBmp(path));
    QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestBitmapEx)
#include "tst_BitmapEx.moc"
