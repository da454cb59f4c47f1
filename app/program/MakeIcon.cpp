// kpd-make-icon FOLDER SIZE...: writes the program's icon as FOLDER/SIZExSIZE/apps/kpd.png for each size
// (the hicolor theme's layout), for the build to install.
#include "program/ProgramIcon.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kpd-make-icon FOLDER SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QImage icon = kpd::ProgramIcon(size);
        const QString dir = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (icon.isNull() || !QDir().mkpath(dir) || !icon.save(dir + "/kpd.png", "PNG")) {
            std::fprintf(stderr, "kpd-make-icon: cannot write the %d pixel icon in %s\n", size, argv[1]);
            return 1;
        }
    }
    return 0;
}
