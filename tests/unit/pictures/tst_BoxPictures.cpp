#include "pictures/BoxPictures.h"
#include "pictures/IconFile.h"
#include "support/BmpFixture.h"
#include "support/BoxPicturesOf.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class TestBoxPictures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void typeFromPath_data();
    void typeFromPath();
    void loadsBothKinds_data();
    void loadsBothKinds();
    void missingOrBrokenPictures_data();
    void missingOrBrokenPictures();
    void firstImageOfIcon();
    void reloadReleasesPrevious();
    void reloadAfterSwitchingKinds();
    void previewPicture_data();
    void previewPicture();

private:
    QTemporaryDir Dir;
    QString IconPath;   // 24 x 16, opaque green with one transparent corner
    QString BitmapPath; // 3 x 2 24-bit
    QString Pictures;
};

void TestBoxPictures::initTestCase() {
    QVERIFY(Dir.isValid());
    Pictures = Dir.path() + "/";
    QImage icon(24, 16, QImage::Format_ARGB32);
    icon.fill(qRgba(0, 200, 0, 255));
    icon.setPixel(0, 0, qRgba(0, 0, 0, 0));
    IconPath = Pictures + "LAN.ICO";
    QVERIFY(icon.save(IconPath, "ICO"));
    BitmapPath = Pictures + "net.bmp";
    QVERIFY(BmpFixture::ThreeWide24(2).WriteTo(BitmapPath));

    QVERIFY(BmpFixture::ThreeWide24(2).WriteTo(Pictures + "bitmap-named.ico"));
    QVERIFY(QFile::copy(IconPath, Pictures + "icon-named.bmp"));
    BmpFixture rle = BmpFixture::ThreeWide24(2);
    rle.BitCount = 8;
    rle.Compression = 1;
    rle.Rows = {0xFF, 0xFF, 0xFF};
    QVERIFY(rle.WriteTo(Pictures + "broken-rle.bmp"));
    QFile junk(Pictures + "junk.bmp");
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("BM this is not a picture");
    junk.close();
    QFile empty(Pictures + "empty.ico");
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
}

void TestBoxPictures::typeFromPath_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("type");
    QTest::newRow("ico") << "/p/a.ico" << 1;
    QTest::newRow("upper-case ICO") << "/p/LAN.ICO" << 1;
    QTest::newRow("bmp") << "/p/a.bmp" << 0;
    QTest::newRow("mixed-case BmP") << "/p/a.BmP" << 0;
    QTest::newRow("other ending is an icon") << "/p/a.png" << 1;
    QTest::newRow("empty is an icon") << "" << 1;
    QTest::newRow("only the last three characters count") << "/p/axbmp" << 0;
    QTest::newRow("bmp earlier in the name") << "/p/a.bmp.ico" << 1;
}

void TestBoxPictures::typeFromPath() {
    QFETCH(QString, path);
    QFETCH(int, type);
    QCOMPARE(PictureTypeFromPath(path), type);
}

void TestBoxPictures::loadsBothKinds_data() {
    QTest::addColumn<int>("storedType");
    QTest::newRow("stored kinds 0") << 0;
    QTest::newRow("stored kinds 1") << 1;
    QTest::newRow("stored kinds out of range") << 7;
}

void TestBoxPictures::loadsBothKinds() {
    QFETCH(int, storedType);
    CMonitorBox box(nullptr, 0);
    box.PicTypeOnLine = storedType;
    box.PicTypeOffLine = storedType;
    box.OnLinePicPath = IconPath;
    box.OffLinePicPath = BitmapPath;
    LoadBoxPictures(box);

    QCOMPARE(box.PicTypeOnLine, 1);
    QVERIFY(!box.OnLineIcon.IsNull());
    QCOMPARE(box.OnLineIcon.Width, 24);
    QCOMPARE(box.OnLineIcon.Height, 16);
    QCOMPARE(box.OnLineIcon.Image.pixel(5, 5), qRgba(0, 200, 0, 255));
    QCOMPARE(qAlpha(box.OnLineIcon.Image.pixel(0, 0)), 0);
    QVERIFY(box.OnLineBitmap.IsNull());

    QCOMPARE(box.PicTypeOffLine, 0);
    QVERIFY(!box.OffLineBitmap.IsNull());
    QCOMPARE(box.OffLineBitmap.Image.size(), QSize(3, 2));
    QCOMPARE(box.OffLineBitmap.Image.pixel(1, 0) & 0xFFFFFF, QRgb(0xFF0000));
    QVERIFY(box.OffLineIcon.IsNull());
    QCOMPARE(box.OffLineIcon.Width, 0);
}

void TestBoxPictures::missingOrBrokenPictures_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("icon not in the folder") << "absent.ico";
    QTest::newRow("bitmap not in the folder") << "absent.bmp";
    QTest::newRow("no file name") << "";
    QTest::newRow("folder itself") << ".";
    QTest::newRow("BMP content named .ico") << "bitmap-named.ico";
    QTest::newRow("ICO content named .bmp") << "icon-named.bmp";
    QTest::newRow("compressed bitmap with broken data") << "broken-rle.bmp";
    QTest::newRow("junk named .bmp") << "junk.bmp";
    QTest::newRow("empty icon file") << "empty.ico";
}

void TestBoxPictures::missingOrBrokenPictures() {
    QFETCH(QString, file);
    CMonitorBox box(nullptr, 0);
    box.OnLinePicPath = IconPath;
    box.OffLinePicPath = BitmapPath;
    LoadBoxPictures(box);
    QVERIFY(!box.OnLineIcon.IsNull());
    QVERIFY(!box.OffLineBitmap.IsNull());

    box.OnLinePicPath = file.isEmpty() ? QString() : Pictures + file;
    box.OffLinePicPath = box.OnLinePicPath;
    box.PicTypeOnLine = 0;
    box.PicTypeOffLine = 0;
    LoadBoxPictures(box);
    // nothing drawn: kind icon, no icon, no bitmap
    QCOMPARE(box.PicTypeOnLine, 1);
    QCOMPARE(box.PicTypeOffLine, 1);
    QVERIFY(box.OnLineIcon.IsNull());
    QVERIFY(box.OffLineIcon.IsNull());
    QCOMPARE(box.OnLineIcon.Width, 0);
    QCOMPARE(box.OnLineIcon.Height, 0);
    QVERIFY(box.OnLineBitmap.IsNull());
    QVERIFY(box.OffLineBitmap.IsNull());
}

void TestBoxPictures::firstImageOfIcon() {
    QImage small(16, 16, QImage::Format_ARGB32);
    small.fill(qRgba(255, 0, 0, 255));
    QImage big(32, 32, QImage::Format_ARGB32);
    big.fill(qRgba(0, 0, 255, 255));
    CBoxIcon icons[2];
    icons[0].Image = small;
    icons[1].Image = big;
    const QString path = Pictures + "two.ico";
    QVERIFY(SaveIconFile(path, icons, 2));
    CBoxIcon icon;
    QVERIFY(LoadIconPicture(path, icon));
    QCOMPARE(icon.Width, 16);
    QCOMPARE(icon.Height, 16);
    QCOMPARE(icon.Image.pixel(3, 3), qRgba(255, 0, 0, 255));
}

void TestBoxPictures::reloadReleasesPrevious() {
    CMonitorBox box(nullptr, 0);
    box.OnLinePicPath = IconPath;
    box.OffLinePicPath = BitmapPath;
    LoadBoxPictures(box);
    QImage firstIcon = box.OnLineIcon.Image;
    QImage firstBitmap = box.OffLineBitmap.Image;
    QVERIFY(!firstIcon.isDetached()); // shared with the box
    QVERIFY(!firstBitmap.isDetached());

    LoadBoxPictures(box);
    // the box now holds fresh pictures and no longer the first ones
    QVERIFY(firstIcon.isDetached());
    QVERIFY(firstBitmap.isDetached());
    QVERIFY(box.OnLineIcon.Image.cacheKey() != firstIcon.cacheKey());
    QVERIFY(!box.OnLineIcon.IsNull());
    QVERIFY(!box.OffLineBitmap.IsNull());

    QImage secondIcon = box.OnLineIcon.Image;
    box.OnLinePicPath = Pictures + "absent.ico";
    box.OffLinePicPath = Pictures + "absent.bmp";
    LoadBoxPictures(box);
    QVERIFY(secondIcon.isDetached());
    QVERIFY(box.OnLineIcon.IsNull());
    QVERIFY(box.OffLineBitmap.IsNull());
}

void TestBoxPictures::reloadAfterSwitchingKinds() {
    CMonitorBox box(nullptr, 0);
    box.OnLinePicPath = BitmapPath;
    box.OffLinePicPath = IconPath;
    LoadBoxPictures(box);
    QCOMPARE(box.PicTypeOnLine, 0);
    QCOMPARE(box.PicTypeOffLine, 1);
    QImage oldBitmap = box.OnLineBitmap.Image;
    QImage oldIcon = box.OffLineIcon.Image;

    std::swap(box.OnLinePicPath, box.OffLinePicPath);
    LoadBoxPictures(box);
    QCOMPARE(box.PicTypeOnLine, 1);
    QCOMPARE(box.PicTypeOffLine, 0);
    QVERIFY(box.OnLineBitmap.IsNull());
    QVERIFY(box.OffLineIcon.IsNull());
    QVERIFY(oldBitmap.isDetached());
    QVERIFY(oldIcon.isDetached());
}

void TestBoxPictures::previewPicture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("icon");
    QTest::addColumn<bool>("bitmap");
    QTest::newRow("icon, any case") << "LAN.ICO" << 1 << true << false;
    QTest::newRow("bitmap") << "net.bmp" << 0 << false << true;
    QTest::newRow("broken bitmap") << "junk.bmp" << 1 << false << false;
    QTest::newRow("other ending loads nothing") << "LAN.png" << 1 << false << false;
    QTest::newRow("no name") << "" << 1 << false << false;
}

void TestBoxPictures::previewPicture() {
    QFETCH(QString, file);
    QFETCH(int, type);
    QFETCH(bool, icon);
    QFETCH(bool, bitmap);
    // an icon file under a name the preview does not take
    QVERIFY(QFile::exists(Pictures + "LAN.png") || QFile::copy(IconPath, Pictures + "LAN.png"));
    std::int32_t kind = 0;
    CBoxIcon ico;
    CKBitmap bmp;
    LoadPreviewPicture(Pictures + "net.bmp", kind, ico, bmp);
    LoadPreviewPicture(file.isEmpty() ? QString() : Pictures + file, kind, ico, bmp);
    QCOMPARE(kind, type);
    QCOMPARE(!ico.IsNull(), icon);
    QCOMPARE(!bmp.IsNull(), bitmap);
    QCOMPARE(ico.Width, icon ? 24 : 0);
}

QTEST_GUILESS_MAIN(TestBoxPictures)
#include "tst_BoxPictures.moc"
