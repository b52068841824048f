#pragma once
// The text of a PDF as pdftotext gives it (poppler-utils), page by page ("\f" between pages),
// with the layout kept.
#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

inline QString PdfText(const QByteArray& pdf) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-layout"), QStringLiteral("-"), QStringLiteral("-")});
    process.write(pdf);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
