#include "config/ConfigFile.h"
#include "config/Skins.h"
#include "pictures/BoxPictures.h"
#include "pictures/IconFile.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

// The pictures and Default skin that the build lays beside the program for the first start.
class TestFirstRunPictures : public QObject {
    Q_OBJECT

    QString Bin;

    static std::vector<QImage> AllImages(const QString& path) {
        std::vector<QImage> images;
        QImageReader reader(path, "ico");
        reader.setDecideFormatFromContent(false);
        for (int i = 0; i < reader.imageCount(); ++i) {
            if (!reader.jumpToImage(i))
                break;
            images.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
        }
        return images;
    }

private slots:
    void initTestCase() {
        Bin = qEnvironmentVariable("PYLARIX_BIN_DIR");
        QVERIFY2(!Bin.isEmpty(), "PYLARIX_BIN_DIR not set");
    }

    void onLinePictureHoldsEverySizeLargestFirst() {
        const std::vector<QImage> images = AllImages(Bin + "/Pictures/1274607096_Desktop.ico");
        std::vector<int> sizes;
        for (const QImage& image : images) {
            QCOMPARE(image.width(), image.height());
            sizes.push_back(image.width());
        }
        QCOMPARE(sizes, (std::vector<int>{64, 48, 32, 24, 16}));
        // What a box shows is the first image.
        CBoxIcon icon;
        QVERIFY(LoadIconPicture(Bin + "/Pictures/1274607096_Desktop.ico", icon));
        QCOMPARE(QSize(icon.Width, icon.Height), QSize(64, 64));

        // A drawing in colour on a transparent ground.
        const QImage& big = images.front();
        int transparent = 0;
        int coloured = 0;
        for (int y = 0; y < big.height(); ++y)
            for (int x = 0; x < big.width(); ++x) {
                const QRgb p = big.pixel(x, y);
                transparent += qAlpha(p) == 0;
                coloured += qAlpha(p) == 255 && (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p));
            }
        QVERIFY2(transparent > 64 * 4, qPrintable(QString::number(transparent)));
        QVERIFY2(coloured > 64 * 8, qPrintable(QString::number(coloured)));
    }

    void offLinePictureIsTheGrayCopy() {
        const std::vector<QImage> colour = AllImages(Bin + "/Pictures/1274607096_Desktop.ico");
        const std::vector<QImage> gray = AllImages(Bin + "/Pictures/1274607096_Desktop_bw.ico");
        QCOMPARE(gray.size(), colour.size());
        QVERIFY(!gray.empty());
        for (std::size_t i = 0; i < gray.size(); ++i) {
            const std::optional<QImage> expected = MakeGrayIcon(colour[i]);
            QVERIFY(expected);
            QCOMPARE(gray[i].size(), colour[i].size());
            for (int y = 0; y < gray[i].height(); ++y)
                for (int x = 0; x < gray[i].width(); ++x) {
                    const QRgb p = gray[i].pixel(x, y);
                    const QRgb e = expected->pixel(x, y);
                    // The image reader hands out premultiplied pixels: a partly transparent one
                    // comes back only to within the step its alpha allows.
                    const int alpha = qAlpha(e);
                    const int slack = alpha == 0 || alpha == 255 ? 0 : 255 / alpha + 1;
                    const bool same = qAlpha(p) == alpha && qAbs(qRed(p) - qRed(e)) <= slack &&
                                      qAbs(qGreen(p) - qGreen(e)) <= slack &&
                                      qAbs(qBlue(p) - qBlue(e)) <= slack;
                    if (!same)
                        QFAIL(qPrintable(QString("image %1 pixel %2,%3 is %4, expected %5")
                                             .arg(i)
                                             .arg(x)
                                             .arg(y)
                                             .arg(p, 8, 16, QChar('0'))
                                             .arg(e, 8, 16, QChar('0'))));
                    QVERIFY(alpha == 0 || (qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)));
                }
        }
    }

    void defaultSkinIsTheFirstStartLook() {
        // The look of a new monitor is the look of the first start's monitor.
        QTemporaryDir dir;
        CIniFile config(dir.filePath("PylarixA.ini"));
        CIniFile mainIni(dir.filePath("Main.ini"));
        QVERIFY(WriteFirstStart(config, mainIni));
        const QString box = BoxSectionName(0);

        const CSkin skin = ReadSkin(CIniFile(Bin + "/Skins/Default.ini"));
        QCOMPARE(skin.OnLineBoxColor, config.ReadUInt(box, "OnLineBoxColor"));
        QCOMPARE(skin.OffLineBoxColor, config.ReadUInt(box, "OffLineBoxColor"));
        QCOMPARE(skin.OnLineTextColor, config.ReadUInt(box, "OnLineTextColor"));
        QCOMPARE(skin.OffLineTextColor, config.ReadUInt(box, "OffLineTextColor"));
        QCOMPARE(skin.OnLinePicFile, config.ReadString(box, "OnLinePicFile"));
        QCOMPARE(skin.OffLinePicFile, config.ReadString(box, "OffLinePicFile"));
        QCOMPARE(skin.OnLineBoxColor, 16699845u);
        QCOMPARE(skin.OffLinePicFile, QString("1274607096_Desktop_bw.ico"));
    }
};

QTEST_GUILESS_MAIN(TestFirstRunPictures)
#include "tst_FirstRunPictures.moc"
