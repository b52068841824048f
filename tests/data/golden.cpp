#include "data_rig.h"

QByteArray Golden(const char* name) {
    QFile f(QStringLiteral(VEXO_GOLDEN "/%1").arg(QString::fromLatin1(name)));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("golden file %s missing", name);
    return f.readAll();
}
