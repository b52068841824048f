#include "My_std.h"

#include <QCoreApplication>
#include <QFileInfo>

std::string GetAppDir() {
    std::string dir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}
