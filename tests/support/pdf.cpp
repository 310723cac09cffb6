#include "support/pdf.h"

#include <QProcess>

namespace testsupport {

QString textoDoPdf(const QString &caminho)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), caminho, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    QString texto = QString::fromUtf8(p.readAllStandardOutput());
    texto.replace(QChar(0xFB00), QLatin1String("ff"));
    texto.replace(QChar(0xFB01), QLatin1String("fi"));
    texto.replace(QChar(0xFB02), QLatin1String("fl"));
    texto.replace(QChar(0xFB03), QLatin1String("ffi"));
    texto.replace(QChar(0xFB04), QLatin1String("ffl"));
    return texto;
}

} // namespace testsupport
