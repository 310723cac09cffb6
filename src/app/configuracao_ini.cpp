#include "app/configuracao_ini.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

namespace app {

namespace {
QString &caminhoDefinido()
{
    static QString caminho;
    return caminho;
}
} // namespace

QString caminhoIni()
{
    if (!caminhoDefinido().isEmpty())
        return caminhoDefinido();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Corvena.INI");
}

void defineCaminhoIni(const QString &caminho)
{
    caminhoDefinido() = caminho;
}

QString lerServidor()
{
    // Read as Windows reads an INI file: the value is taken as it stands,
    // without the escapes and lists that QSettings would see in it.
    QFile f(caminhoIni());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString texto = utf8(bytes);
    if (utf8.hasError())
        texto = QString::fromLatin1(bytes);
    bool naSecao = false;
    for (QString linha : texto.split(u'\n')) {
        linha = linha.trimmed();
        if (linha.startsWith(u'[')) {
            naSecao = linha.compare(QStringLiteral("[DADOS]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!naSecao || linha.startsWith(u';'))
            continue;
        const qsizetype igual = linha.indexOf(u'=');
        if (igual > 0 && linha.left(igual).trimmed().compare(QStringLiteral("SERVIDOR"), Qt::CaseInsensitive) == 0)
            return linha.mid(igual + 1).trimmed();
    }
    return {};
}

} // namespace app
