#include "strip/ProgramArt.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(ArtPicture)

// Every picture of the program must exist in the resources and draw something at the sizes it
// is shown at: a missing file, a broken drawing or an absent SVG reader leaves an empty picture.
class ArtworkTest : public QObject {
    Q_OBJECT
private slots:
    void drawsAtItsSizes_data();
    void drawsAtItsSizes();
};

void ArtworkTest::drawsAtItsSizes_data() {
    QTest::addColumn<ArtPicture>("picture");
    QTest::addColumn<int>("size");
    const struct {
        const char* Name;
        ArtPicture Picture;
        QList<int> Sizes;
    } pictures[] = {
        {"program", ArtPicture::Program, {16, 32, 48}},
        {"tray", ArtPicture::Tray, {16, 22, 32}},
        {"about", ArtPicture::About, {16}},
        {"help", ArtPicture::Help, {16}},
        {"radio on", ArtPicture::RadioOn, {16}},
        {"radio off", ArtPicture::RadioOff, {16}},
        {"show", ArtPicture::Show, {16}},
        {"logs", ArtPicture::Logs, {16}},
        {"backup", ArtPicture::Backup, {16}},
        {"restore", ArtPicture::Restore, {16}},
        {"reset", ArtPicture::Reset, {16}},
        {"properties", ArtPicture::Properties, {16}},
        {"exit", ArtPicture::Exit, {16}},
        {"test button", ArtPicture::TestButton, {16}},
        {"ok button", ArtPicture::OkButton, {16}},
        {"cancel button", ArtPicture::CancelButton, {16}},
        {"apply button", ArtPicture::ApplyButton, {16}},
    };
    for (const auto& p : pictures) {
        for (int size : p.Sizes)
            QTest::newRow(QByteArray(p.Name) + " " + QByteArray::number(size)) << p.Picture << size;
    }
}

void ArtworkTest::drawsAtItsSizes() {
    QFETCH(ArtPicture, picture);
    QFETCH(int, size);
    QVERIFY2(QFile::exists(ArtPath(picture)), qPrintable(ArtPath(picture)));
    const QImage image = ArtIcon(picture).pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(size, size));
    int opaque = 0;
    int transparent = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            opaque += alpha > 128 ? 1 : 0;
            transparent += alpha == 0 ? 1 : 0;
        }
    }
    // Something is drawn, and it is a picture, not a filled square.
    QVERIFY2(opaque >= size * size / 20, qPrintable(QString::number(opaque)));
    if (picture != ArtPicture::Program && picture != ArtPicture::Tray)
        QVERIFY2(transparent > 0, "menu and button pictures keep a transparent ground");
}

QTEST_MAIN(ArtworkTest)
#include "tst_ProgramArt.moc"
