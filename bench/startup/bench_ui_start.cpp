// ui.start_to_first_status_ms: from the start of the program's process to the first Up of a
// loopback Ping monitor (VerifyTime 1) visible on the screen, read back from the X server's
// pixels. The program runs on a private Xvfb display started here.

#include "support/XSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int PosX = 200;
constexpr int PosY = 150;
constexpr int XBox = 90;
constexpr int YBox = 80;
constexpr unsigned OnLineColor = 0x0000FF00; // 0x00BBGGRR: pure green
constexpr int Runs = 7;

QByteArray Config() {
    QByteArray ini = "[main]\r\nApp=Pylarix\r\nFirstStart=0\r\nNumBox=1\r\n";
    ini += "XBox=" + QByteArray::number(XBox) + "\r\nYBox=" + QByteArray::number(YBox) + "\r\n";
    ini += "PosX=" + QByteArray::number(PosX) + "\r\nPosY=" + QByteArray::number(PosY) + "\r\n";
    ini += "WinPos=1\r\nWinBeh=1\r\nVerifyTime=1\r\nTimeOut=1000\r\nTransparent=255\r\n"
           "ShowUpDownTime=0\r\nShowStatusX=0\r\nShowIPandMethodX=0\r\nVolumeMute=1\r\nVolume=0\r\n";
    ini += "[Box "
           "0]\r\nText=LOCAL\r\nPicTypeOnLine=1\r\nPicTypeOffLine=1\r\nOnLinePicFile=\r\nOffLinePicFile=\r\n";
    ini += "OnLineBoxColor=" + QByteArray::number(OnLineColor) + "\r\nOffLineBoxColor=255\r\n";
    ini += "OnLineTextColor=0\r\nOffLineTextColor=16777215\r\nIPAdress=127.0.0.1\r\nIPv=0\r\nPort=80\r\n"
           "VerifyMetod=1\r\nSound=0\r\nLogging=0\r\nMsgBox=0\r\n";
    return ini;
}

} // namespace

int main(int argc, char** argv) {
    CXSession session;
    if (!session.Start(false)) {
        std::fprintf(stderr, "bench_ui_start: Xvfb could not be started\n");
        return 1;
    }
    QTemporaryDir benchRuntime;
    QFile::setPermissions(benchRuntime.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", benchRuntime.path().toLocal8Bit());
    int result = 0;
    {
        QGuiApplication app(argc, argv);
        const QString program = QCoreApplication::applicationDirPath() + "/pylarix";
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRgb wanted = qRgb(OnLineColor & 0xFF, (OnLineColor >> 8) & 0xFF, (OnLineColor >> 16) & 0xFF);
        // A point inside box 1 near its leading edge, clear of the centred title.
        const int probeX = PosX + 8 + 3;
        const int probeY = PosY + 1 + YBox / 2;

        std::vector<double> times;
        for (int run = 0; run < Runs && result == 0; ++run) {
            QTemporaryDir root;
            QDir(root.path()).mkpath("Pylarix");
            QDir(root.path()).mkpath("run");
            QFile::setPermissions(root.path() + "/run",
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QFile config(root.path() + "/Pylarix/PylarixA.ini");
            if (!config.open(QIODevice::WriteOnly) || config.write(Config()) < 0) {
                result = 1;
                break;
            }
            config.close();
            QFile mainIni(root.path() + "/Pylarix/Main.ini");
            if (mainIni.open(QIODevice::WriteOnly))
                mainIni.write("[main]\r\nHideTaskBarButton=0\r\n");
            mainIni.close();

            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("APPDATA", root.path());
            env.insert("XDG_RUNTIME_DIR", root.path() + "/run");
            env.insert("DISPLAY", session.Display());
            env.insert("QT_QPA_PLATFORM", "xcb");
            env.insert("PULSE_SERVER", "unix:" + root.path() + "/run/no-pulse");
            process.setProcessEnvironment(env);
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            QElapsedTimer clock;
            clock.start();
            process.start(program, {});
            if (!process.waitForStarted(5000)) {
                std::fprintf(stderr, "bench_ui_start: %s did not start\n", qPrintable(program));
                result = 1;
                break;
            }
            double seen = -1;
            while (clock.elapsed() < 10000) {
                const QImage pixel = screen->grabWindow(0, probeX, probeY, 1, 1).toImage();
                if (!pixel.isNull() && (pixel.pixel(0, 0) & 0xFFFFFF) == (wanted & 0xFFFFFF)) {
                    seen = double(clock.nsecsElapsed()) / 1e6;
                    break;
                }
                if (process.state() == QProcess::NotRunning)
                    break;
                QThread::usleep(500);
            }
            process.kill();
            process.waitForFinished(5000);
            if (seen < 0) {
                std::fprintf(stderr, "bench_ui_start: run %d: the Up colour never appeared on screen\n",
                             run + 1);
                result = 1;
                break;
            }
            times.push_back(seen);
        }
        if (result == 0) {
            std::sort(times.begin(), times.end());
            std::printf("ui.start_to_first_status_ms %.1f ms\n", times[times.size() / 2]);
            std::printf("ui.start_to_first_status_max_ms %.1f ms\n", times.back());
            std::fflush(stdout);
        }
    }
    return result;
}
