// Writes rounds of values into an INI file until it is killed. Round r sets every key to r, one
// key at a time ("keys" mode) or all keys in one batch ("batch" mode). Prints "started" once the
// first write of round 1 is stored.
#include "config/IniFile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    CIniFile file(args[1]);
    const bool batch = args[2] == QLatin1String("batch");
    const int sections = args[3].toInt();
    const int keys = args[4].toInt();
    bool announced = false;
    for (int round = 1;; ++round) {
        if (batch) {
            CIniFile::Batch b(file);
            for (int s = 0; s < sections; ++s)
                for (int k = 0; k < keys; ++k)
                    b.WriteInt(QStringLiteral("Box %1").arg(s), QStringLiteral("Key%1").arg(k), round);
            if (!b.Commit())
                return 3;
        } else {
            for (int s = 0; s < sections; ++s)
                for (int k = 0; k < keys; ++k) {
                    if (!file.WriteInt(QStringLiteral("Box %1").arg(s), QStringLiteral("Key%1").arg(k),
                                       round))
                        return 3;
                    if (!announced) {
                        std::puts("started");
                        std::fflush(stdout);
                        announced = true;
                    }
                }
        }
        if (!announced) {
            std::puts("started");
            std::fflush(stdout);
            announced = true;
        }
    }
}
