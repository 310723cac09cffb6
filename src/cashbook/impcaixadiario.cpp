#include "cashbook/impcaixadiario.h"

#include "reports/format.h"
#include "reports/pagereport.h"

using namespace Qt::StringLiterals;

namespace caixa {

DiaDoCaixa leDiaDoCaixa(db::Connection &conexao, const QDate &dia)
{
    DiaDoCaixa d;
    d.dia = dia;
    const QVariant anterior =
        conexao
            .execute(u"select MAX(DTSALDO) AS DTSALDO from SALDOCAIXA where DTSALDO < :Pdatasaldo"_s,
                     {{u"Pdatasaldo"_s, dia}})
            .value(u"DTSALDO"_s);
    if (anterior.isValid() && !anterior.isNull())
        d.saldoAnterior = conexao
                              .execute(u"select SALDOATUAL from SALDOCAIXA where DTSALDO = :Pdatasaldo"_s,
                                       {{u"Pdatasaldo"_s, anterior}})
                              .value(u"SALDOATUAL"_s);
    const db::Result doDia =
        conexao.execute(u"select * from SALDOCAIXA where DTSALDO = :PDATA"_s, {{u"PDATA"_s, dia}});
    d.totCredito = doDia.value(u"TOTCREDITO"_s);
    d.totDebito = doDia.value(u"TOTDEBITO"_s);
    d.saldoAtual = doDia.value(u"SALDOATUAL"_s);
    d.lancamentos = conexao.execute(u"select * from MOVIMENTO where DATA = :Pdata"_s, {{u"Pdata"_s, dia}});
    return d;
}

QString emReais(const QVariant &valor)
{
    return u"R$ "_s + reports::formatValue(valor, reports::fmt::Money);
}

void montaRelatorioDiario(reports::PageReport &r, const DiaDoCaixa &dia, const QString &razaoSocial)
{
    r.setCaption(u"Relatório Diário do Caixa"_s);
    r.setPaper(reports::Paper::Letter, reports::Orientation::Portrait);
    r.setMargins(10);
    r.setCompanyName(razaoSocial);

    r.pageHeader(9).companyName(0, 1, 0).center().bold().size(12);

    auto &titulo = r.title(12);
    titulo.text(0, 2, 16, u"Horário"_s);
    titulo.systemTime(16, 2, 24);
    titulo.text(45, 2, 100, u"RELATÓRIO DIARIO DO CAIXA"_s).center().bold().size(11);
    titulo.text(145, 2, 30, u"Data de Impressão"_s);
    titulo.systemDate(175, 2, 20.9).right();

    r.columnHeader(7).setFont({.bold = true});
    r.addColumns({{u"DATA"_s, u"DATA"_s, 25},
                  {u"HISTÓRICO"_s, u"DESCRICAO"_s, 105},
                  {u"VALOR"_s, u"VALOR"_s, 35, reports::Align::Right, reports::fmt::Money},
                  {u"SITUAÇÃO"_s, u"DEBITO_CREDITO"_s, 25, reports::Align::Right}},
                 {.verticalRules = true, .ruleUnderHeader = true});
    r.setRows(dia.lancamentos);

    // four framed boxes, one under the other
    const struct
    {
        QString rotulo;
        QVariant valor;
        bool negrito;
    } caixas[] = {{u"SALDO ANTERIOR"_s, dia.saldoAnterior, false},
                  {u"TOTAL RECEBIMENTOS"_s, dia.totCredito, false},
                  {u"TOTAL PAGAMENTOS"_s, dia.totDebito, false},
                  {u"SALDO ATUAL"_s, dia.saldoAtual, true}};
    auto &resumo = r.summary(4 + 4 * 10);
    double y = 4;
    for (const auto &c : caixas) {
        resumo.box(95, y, 95, 8);
        resumo.text(98, y, 50, c.rotulo).height(8).bold(c.negrito);
        resumo.text(145, y, 42, emReais(c.valor)).right().height(8).bold(c.negrito);
        y += 10;
    }
}

} // namespace caixa
