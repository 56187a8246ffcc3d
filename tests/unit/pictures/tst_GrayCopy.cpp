#include "pictures/BoxPictures.h"
#include "pictures/GrayCopy.h"
#include "support/BmpFixture.h"
#include "support/BoxPicturesOf.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

class TestGrayCopy : public QObject {
    Q_OBJECT
private slots:
    void init();
    void iconCopy();
    void iconCopyWithoutIcon_data();
    void iconCopyWithoutIcon();
    void iconWriteFails();
    void bitmapCopy();
    void unreadableBitmapWritesNothing_data();
    void unreadableBitmapWritesNothing();
    void bitmapWriteFailsKeepsName();
    void namesThatLeaveTheFolder_data();
    void namesThatLeaveTheFolder();

private:
    std::unique_ptr<QTemporaryDir> Dir;
    QString Pictures;
    QStringList Listing() const {
        return QDir(Dir->path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    }
};

namespace {

CBoxIcon SampleIcon() {
    QImage img(4, 4, QImage::Format_ARGB32);
    img.fill(qRgba(255, 255, 255, 255));
    img.setPixel(0, 0, qRgba(0, 0, 0, 0));
    CBoxIcon icon;
    icon.Image = img;
    icon.Width = 4;
    icon.Height = 4;
    return icon;
}

} // namespace

void TestGrayCopy::init() {
    Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(Dir->isValid());
    QVERIFY(QDir(Dir->path()).mkdir("Pictures"));
    Pictures = Dir->path() + "/Pictures/";
}

void TestGrayCopy::iconCopy() {
    const CBoxIcon icon = SampleIcon();
    const CGrayCopyResult r =
        MakeGrayCopy("1274607096_Desktop.ico", Pictures + "1274607096_Desktop.ico", 1, icon, Pictures);
    QCOMPARE(r.OffLinePicFile, QString("1274607096_Desktop_GSC.ico"));
    QCOMPARE(r.OffLinePicPath, Pictures + "1274607096_Desktop_GSC.ico");
    QVERIFY(r.Written);
    QCOMPARE(r.OffLineIcon.Width, 4);
    QCOMPARE(r.OffLineIcon.Image.pixel(2, 2), qRgba(254, 254, 254, 255));
    QCOMPARE(icon.Image.pixel(2, 2), qRgba(255, 255, 255, 255));

    const QByteArray f = ReadAll(r.OffLinePicPath);
    QCOMPARE(LeU16(f, 4), std::uint16_t(1));
    QCOMPARE(LeU16(f, 12), std::uint16_t(32));
    QCOMPARE(LeU32(f, 18), 22u);

    // and it loads as the box's off-line icon
    CMonitorBox box(nullptr, 0);
    box.OffLinePicPath = r.OffLinePicPath;
    LoadBoxPictures(box);
    QCOMPARE(box.PicTypeOffLine, 1);
    QCOMPARE(box.OffLineIcon.Width, 4);
    QCOMPARE(box.OffLineIcon.Image.convertToFormat(QImage::Format_ARGB32).pixel(1, 1),
             qRgba(254, 254, 254, 255));
    QCOMPARE(qAlpha(box.OffLineIcon.Image.pixel(0, 0)), 0);
}

void TestGrayCopy::iconCopyWithoutIcon_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("named icon that did not load") << "lan.ico";
    QTest::newRow("emptied on-line picture") << "";
}

void TestGrayCopy::iconCopyWithoutIcon() {
    QFETCH(QString, name);
    const CGrayCopyResult r =
        MakeGrayCopy(name, name.isEmpty() ? QString() : Pictures + name, 1, CBoxIcon(), Pictures);
    QVERIFY(r.OffLinePicFile.isEmpty());
    QVERIFY(r.OffLinePicPath.isEmpty());
    QVERIFY(r.OffLineIcon.IsNull());
    QVERIFY(!r.Written);
    QVERIFY(QDir(Pictures).isEmpty());
}

void TestGrayCopy::iconWriteFails() {
    const QString missing = Dir->path() + "/NoPictures/";
    const CGrayCopyResult r = MakeGrayCopy("lan.ico", missing + "lan.ico", 1, SampleIcon(), missing);
    QVERIFY(r.OffLinePicFile.isEmpty());
    QVERIFY(r.OffLinePicPath.isEmpty());
    QVERIFY(r.OffLineIcon.IsNull());
    QVERIFY(!r.Written);
    QCOMPARE(Listing(), QStringList{"Pictures"});
}

void TestGrayCopy::bitmapCopy() {
    const int height = 3;
    QVERIFY(BmpFixture::ThreeWide24(height).WriteTo(Pictures + "router.bmp"));
    const CGrayCopyResult r = MakeGrayCopy("router.bmp", Pictures + "router.bmp", 0, CBoxIcon(), Pictures);
    QCOMPARE(r.OffLinePicFile, QString("router_GSC.bmp"));
    QCOMPARE(r.OffLinePicPath, Pictures + "router_GSC.bmp");
    QVERIFY(r.Written);
    QVERIFY(r.OffLineIcon.IsNull());
    const QByteArray f = ReadAll(r.OffLinePicPath);
    QCOMPARE(f.size(), 54 + 12 * height);
    QCOMPARE(LeU32(f, 10), 54u);
    QCOMPARE(LeU16(f, 28), std::uint16_t(24));
    for (int y = 0; y < height; ++y) {
        const QByteArray row = f.mid(54 + 12 * y, 12);
        QCOMPARE(row.left(3), QByteArray("\xFE\xFE\xFE"));
        QCOMPARE(row.mid(3, 3), QByteArray("\x4B\x4B\x4B"));
        for (int x = 0; x < 3; ++x)
            QVERIFY(row[x * 3] == row[x * 3 + 1] && row[x * 3] == row[x * 3 + 2]);
    }
    // the source stays as it was
    QCOMPARE(ReadAll(Pictures + "router.bmp"), BmpFixture::ThreeWide24(height).Bytes());
}

void TestGrayCopy::unreadableBitmapWritesNothing_data() {
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::newRow("missing file") << QByteArray();
    BmpFixture mono = BmpFixture::ThreeWide24(2);
    mono.BitCount = 1;
    QTest::newRow("1 bit per pixel") << mono.Bytes();
    QTest::newRow("truncated") << BmpFixture::ThreeWide24(2).Bytes().left(60);
}

void TestGrayCopy::unreadableBitmapWritesNothing() {
    QFETCH(QByteArray, content);
    if (!content.isEmpty()) {
        QFile f(Pictures + "bad.bmp");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const CGrayCopyResult r = MakeGrayCopy("bad.bmp", Pictures + "bad.bmp", 0, CBoxIcon(), Pictures);
    QVERIFY(r.OffLinePicFile.isEmpty());
    QVERIFY(r.OffLinePicPath.isEmpty());
    QVERIFY(!r.Written);
    QVERIFY(!QFile::exists(Pictures + "bad_GSC.bmp"));
}

void TestGrayCopy::bitmapWriteFailsKeepsName() {
    QVERIFY(BmpFixture::ThreeWide24(1).WriteTo(Pictures + "a.bmp"));
    const QString missing = Dir->path() + "/NoPictures/";
    const CGrayCopyResult r = MakeGrayCopy("a.bmp", Pictures + "a.bmp", 0, CBoxIcon(), missing);
    QCOMPARE(r.OffLinePicFile, QString("a_GSC.bmp"));
    QCOMPARE(r.OffLinePicPath, missing + "a_GSC.bmp");
    QVERIFY(!r.Written);
    QVERIFY(!QFile::exists(r.OffLinePicPath));
}

void TestGrayCopy::namesThatLeaveTheFolder_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("type");
    QTest::newRow("parent folder, bitmap") << "../escape.bmp" << 0;
    QTest::newRow("parent folder, icon") << "../escape.ico" << 1;
    QTest::newRow("sub-folder") << "sub/x.bmp" << 0;
    QTest::newRow("backslash") << "..\\x.ico" << 1;
    QTest::newRow("control character") << QString("x\ny.bmp") << 0;
}

void TestGrayCopy::namesThatLeaveTheFolder() {
    QFETCH(QString, name);
    QFETCH(int, type);
    // a readable source is at hand either way
    QVERIFY(BmpFixture::ThreeWide24(1).WriteTo(Dir->path() + "/source.bmp"));
    const CGrayCopyResult r = MakeGrayCopy(name, Dir->path() + "/source.bmp", type, SampleIcon(), Pictures);
    QVERIFY(r.OffLinePicFile.isEmpty());
    QVERIFY(r.OffLinePicPath.isEmpty());
    QVERIFY(!r.Written);
    QCOMPARE(Listing(), (QStringList{"Pictures", "source.bmp"}));
    QVERIFY(QDir(Pictures).isEmpty());
}

QTEST_GUILESS_MAIN(TestGrayCopy)
#include "tst_GrayCopy.moc"
