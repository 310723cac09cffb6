#include "app/rotinas.h"

#include "app/mensagens.h"
#include "db/dataset.h"

#include <QRegularExpression>

namespace app {

bool EmEdicao(const db::Dataset &dataset)
{
    return dataset.isEditing();
}

QString textoRelacionamentos()
{
    return QStringLiteral("Não foi possível completar a operação!\n"
                          "Você está tentando remover ou alterar um registro que possui relacionamentos com outros "
                          "registros no Banco de Dados. Por favor, remova todos os relacionamentos, antes de tentar "
                          "novamente!");
}

bool AplicaAlteracoes(db::Dataset &dataset, const std::function<void(db::Transaction &)> &tambem)
{
    if (dataset.isEditing())
        dataset.post();
    if (dataset.changeCount() == 0 && !tambem)
        return true;
    try {
        dataset.connection()->transaction([&](db::Transaction &tx) {
            dataset.writeChanges(tx);
            if (tambem)
                tambem(tx);
        });
    } catch (const db::Error &) {
        dataset.cancelUpdates();
        msg::aviso(textoRelacionamentos());
        return false;
    }
    dataset.mergeChangeLog();
    return true;
}

QString FormataNumero(const db::Decimal &valor, int decimais)
{
    QString s = valor.rescaled(decimais).toBrazilian();
    if (s == QStringLiteral("-0") || (s.startsWith(QStringLiteral("-")) && valor.rescaled(decimais).isZero()))
        s.remove(0, 1);
    return s.rightJustified(2, u' ');
}

QString FormataNumero(double valor, int decimais)
{
    return FormataNumero(db::Decimal::fromDouble(valor, decimais), decimais);
}

namespace {

// The digits kept by ValorDoTexto, with a point for the decimal separator.
QString textoNumerico(const QString &texto)
{
    QString kept;
    bool decimalSeen = false;
    for (qsizetype i = texto.size() - 1; i >= 0; --i) {
        const QChar c = texto[i];
        if (c.isDigit() || c == u'-') {
            kept.prepend(c);
        } else if (c == u',' || c == u'.') {
            if (!decimalSeen) {
                decimalSeen = true;
                kept.prepend(u'.');
            } else if (c == u',') {
                kept.prepend(c); // a second comma spoils the number
            }
        }
    }
    return kept;
}

} // namespace

double ValorDoTexto(const QString &texto)
{
    const QString kept = textoNumerico(texto);
    if (kept.isEmpty())
        return 0;
    bool ok = false;
    const double v = kept.toDouble(&ok);
    return ok ? v : 0;
}

db::Decimal DecimalDoTexto(const QString &texto, int decimais)
{
    const QString kept = textoNumerico(texto);
    // only a sign in front, at most one point
    static const QRegularExpression valid(QStringLiteral("^-?[0-9]*\\.?[0-9]*$"));
    if (kept.isEmpty() || !valid.match(kept).hasMatch() || kept == QStringLiteral("-") || kept == QStringLiteral("."))
        return db::Decimal(0, decimais);
    const auto d = db::Decimal::parse(kept);
    return d ? d->rescaled(decimais) : db::Decimal(0, decimais);
}

QString Esquerda(const QString &texto, int n)
{
    return texto.left(std::max(0, n));
}

bool ValidaCNPJ(const QString &cnpj)
{
    if (cnpj.size() < 14)
        return false;
    int d[14];
    for (int i = 0; i < 14; ++i) {
        if (!cnpj[i].isDigit() || cnpj[i].unicode() > '9')
            return false;
        d[i] = cnpj[i].unicode() - '0';
    }
    static const int pesos1[12] = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    static const int pesos2[13] = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
    auto digito = [&](const int *pesos, int n) {
        int soma = 0;
        for (int i = 0; i < n; ++i)
            soma += d[i] * pesos[i];
        const int r = 11 - soma % 11;
        return r >= 10 ? 0 : r;
    };
    return digito(pesos1, 12) == d[12] && digito(pesos2, 13) == d[13];
}

bool TemBranco(const QString &texto, int n)
{
    return texto.left(std::max(0, n)).contains(u' ');
}

} // namespace app
