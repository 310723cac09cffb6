#include "suppliers/frmcadfornecedor.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPalette>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace fornecedores {

namespace {

app::RegistroJanela<FrmCadFornecedor> registro(u"Cadastros_de_Fornecedores"_s);

const QString kDebito = u"Fornecedor com debito Impossivel apagar!"_s;

db::DatasetModel::Column coluna(const QString &campo, const QString &titulo, int largura,
                                const QString &formato = {})
{
    db::DatasetModel::Column c(campo, titulo, largura);
    c.format = formato;
    return c;
}

} // namespace

FrmCadFornecedor::FrmCadFornecedor(QWidget *pai) : app::FormCadastro(pai)
{
    setObjectName(u"FrmCadFornecedor"_s);
    setWindowTitle(u"Manutenção do Cadastro de Fornecedor"_s);
    PageControl->setTabText(PageControl->indexOf(TabSheet_Manutencao), u"Cadastro  "_s);

    Tb_Fornecedor = new db::Dataset(app::principal()->DB_Corvena,
                                    u"SELECT * FROM FORNECEDOR WHERE ATIVO='S' ORDER BY NOME"_s, this);
    Tb_Fornecedor->setObjectName(u"Tb_Fornecedor"_s);
    Tb_Fornecedor->model()->setColumns({coluna(u"NOME"_s, u"NOME"_s, 30),
                                        coluna(u"FAZENDA"_s, u"FAZENDA"_s, 20),
                                        coluna(u"PRECO"_s, u"PREÇO"_s, 10, u"#,##0.00"_s),
                                        coluna(u"TOTAL_DEBITO"_s, u"TOTAL DEBITO"_s, 14, u"#,##0.00"_s),
                                        coluna(u"ENDERECO"_s, u"ENDEREÇO"_s, 20),
                                        coluna(u"CIDADE"_s, u"CIDADE"_s, 20),
                                        coluna(u"TELEFONE"_s, u"TELEFONE"_s, 10),
                                        coluna(u"CONTATO"_s, u"CONTATO"_s, 40)});

    // The fields, created in tab order.
    EDIT_CODIGO = campoCodigo(Tb_Fornecedor, u"CD_FORNECEDOR"_s);
    EDIT_NOME = campo(Tb_Fornecedor, u"EDIT_NOME"_s, u"NOME DO FORNECEDOR"_s, u"NOME"_s, 480);
    EDIT_FAZENDA = campo(Tb_Fornecedor, u"EDIT_FAZENDA"_s, u"FAZENDA"_s, u"FAZENDA"_s, 330);

    GB_Dados = new QGroupBox(u"DADOS "_s, Painel_Dados);
    GB_Dados->setObjectName(u"GB_Dados"_s);
    auto *dados = new QFormLayout(GB_Dados);
    const auto &F = Tb_Fornecedor;
    EDIT_CPF = app::campoLigado<app::EditMascara>(dados, F, u"EDIT_CPF"_s, u"CPF"_s, u"CPF"_s, 130,
                                                   u"999.999.999-99;_"_s);
    EDIT_RG = app::campoLigado<app::EditTexto>(dados, F, u"EDIT_RG"_s, u"RG"_s, u"RG"_s, 130);
    EDIT_ENDERECO = app::campoLigado<app::EditTexto>(dados, F, u"EDIT_ENDERECO"_s, u"ENDEREÇO"_s, u"ENDERECO"_s, 480);
    EDIT_CIDADE = app::campoLigado<app::EditTexto>(dados, F, u"EDIT_CIDADE"_s, u"CIDADE"_s, u"CIDADE"_s, 330);
    EDIT_TELEFONE = app::campoLigado<app::EditMascara>(dados, F, u"EDIT_TELEFONE"_s, u"TELEFONE"_s, u"TELEFONE"_s,
                                                        130, u"(99)9999-9999;_"_s);
    EDIT_CONTATO = app::campoLigado<app::EditTexto>(dados, F, u"EDIT_CONTATO"_s, u"CONTATO"_s, u"CONTATO"_s, 330);
    EDIT_DTCADASTRO = app::campoLigado<app::EditData>(dados, F, u"EDIT_DTCADASTRO"_s, u"DATA DE CADASTRO"_s,
                                                      u"DT_CADASTRO"_s, 130);
    EDIT_DTCADASTRO->setReadOnly(true);
    EDIT_DTCADASTRO->editor()->setFocusPolicy(Qt::NoFocus);
    EDIT_DTCADASTRO->setFocusPolicy(Qt::NoFocus);
    CB_ATIVO = app::campoLigado<app::CaixaSN>(dados, F, u"CB_ATIVO"_s, QString(), u"ATIVO"_s, 0, u"ATIVO"_s);
    adicionaCampo(QString(), GB_Dados);

    GB_Bancarios = new QGroupBox(u"DADOS BANCARIOS"_s, Painel_Dados);
    GB_Bancarios->setObjectName(u"GB_Bancarios"_s);
    auto *banco = new QFormLayout(GB_Bancarios);
    EDIT_AG = app::campoLigado<app::EditTexto>(banco, F, u"EDIT_AG"_s, u"AGENCIA"_s, u"AG"_s, 100);
    EDIT_CONTA = app::campoLigado<app::EditTexto>(banco, F, u"EDIT_CONTA"_s, u"CONTA"_s, u"CONTA"_s, 130);
    adicionaCampo(QString(), GB_Bancarios);

    GB_Preco = new QGroupBox(Painel_Dados);
    GB_Preco->setObjectName(u"GB_Preco"_s);
    auto *preco = new QFormLayout(GB_Preco);
    EDIT_PRECO = app::campoLigado<app::EditDecimal>(preco, F, u"EDIT_PRECO"_s, u"PREÇO LEITE"_s, u"PRECO"_s, 130);
    EDIT_PRECO->setFormatoExibicao(u"#,##0.00"_s);
    adicionaCampo(QString(), GB_Preco);

    GB_Debito = new QGroupBox(Painel_Dados);
    GB_Debito->setObjectName(u"GB_Debito"_s);
    auto *debito = new QFormLayout(GB_Debito);
    EDIT_TOTALDEBITO = app::campoLigado<app::EditDecimal>(debito, F, u"EDIT_TOTALDEBITO"_s, u"TOTAL DÉBITO"_s,
                                                           u"TOTAL_DEBITO"_s, 130);
    EDIT_TOTALDEBITO->setFormatoExibicao(u"#,##0.00"_s);
    EDIT_TOTALDEBITO->setReadOnly(true);
    EDIT_TOTALDEBITO->setFocusPolicy(Qt::NoFocus);
    QPalette vermelho = EDIT_TOTALDEBITO->palette();
    vermelho.setColor(QPalette::Text, Qt::red);
    vermelho.setColor(QPalette::Disabled, QPalette::Text, Qt::red);
    EDIT_TOTALDEBITO->setPalette(vermelho);
    GB_Debito->setEnabled(false);
    adicionaCampo(QString(), GB_Debito);

    // the debit is kept by the vouchers and the payment sheets, never here
    Tb_Fornecedor->setReadOnlyFields({u"TOTAL_DEBITO"_s});

    opcoes.sqlMaximo = u"select max(CD_FORNECEDOR) as MAXCD from FORNECEDOR"_s;
    opcoes.campoMaximo = u"MAXCD"_s;
    opcoes.campoChave = u"CD_FORNECEDOR"_s;
    opcoes.vazioAlterar = u"O Banco de Dados está vazio !!!"_s;
    opcoes.textoObrigatorios = u"Digite o nome do Fornecedor !"_s;
    opcoes.campoBusca = u"NOME"_s;
    opcoes.rotuloBusca = u"CONSULTA POR FORNECEDOR"_s;
    obrigatorio(EDIT_NOME);
    primeiroCampo = EDIT_NOME;
    inicia(Tb_Fornecedor);
}

void FrmCadFornecedor::novosValores()
{
    Tb_Fornecedor->setValue(u"ATIVO"_s, u"S"_s);
    Tb_Fornecedor->setValue(u"DT_CADASTRO"_s, QDate::currentDate());
    Tb_Fornecedor->setValue(u"TOTAL_DEBITO"_s, db::Decimal(0, 2).toVariant());
    Tb_Fornecedor->setValue(u"VALORVALE"_s, db::Decimal(0, 2).toVariant());
}

bool FrmCadFornecedor::validaGravacao()
{
    // An empty price takes the dairy's good-milk price as the main window
    // last read it; a typed price stays as typed.
    if (!EDIT_PRECO->valor()) {
        QVariant geral;
        db::Dataset *cfg = app::principal()->q_configuracao;
        if (cfg && cfg->isActive() && !cfg->isEmpty())
            geral = cfg->value(u"PRECO_LEITE"_s);
        EDIT_PRECO->setValor(geral.isValid() && !geral.isNull()
                                 ? std::optional(db::Decimal::fromVariant(geral, 2))
                                 : std::nullopt);
        Tb_Fornecedor->setValue(u"PRECO"_s, geral);
    }
    return true;
}

void FrmCadFornecedor::depoisDeGravar()
{
    // a supplier made inactive by hand leaves the list at once
    if (Tb_Fornecedor->text(u"ATIVO"_s).trimmed() != u"S"_s)
        Tb_Fornecedor->refresh();
}

bool FrmCadFornecedor::temHistorico(db::Transaction &tx, int cdFornecedor)
{
    const db::Params p = {{u"PCDFORNECEDOR"_s, cdFornecedor}};
    static const QStringList consultas = {
        u"SELECT CD_FORNECEDOR FROM PAGAMENTO_FORNECEDOR WHERE CD_FORNECEDOR = :PCDFORNECEDOR"_s,
        // milk deliveries and purchases of other products
        u"SELECT FIRST 1 CD_ENTRADA FROM ENTRADA_PRODUTO WHERE CD_FORNECEDOR = :PCDFORNECEDOR"_s,
        u"SELECT FIRST 1 CD_ADIANTAMENTO FROM ADIANTAMENTO WHERE CD_FORNECEDOR = :PCDFORNECEDOR"_s,
    };
    for (const QString &sql : consultas) {
        if (!tx.execute(sql, p).isEmpty())
            return true;
    }
    return false;
}

bool FrmCadFornecedor::verificaExclusao()
{
    if (!Tb_Fornecedor->decimal(u"TOTAL_DEBITO"_s).isZero()) {
        app::msg::erro(kDebito);
        return false;
    }
    return true;
}

void FrmCadFornecedor::DeletarClick()
{
    if (editando())
        return;
    if (!Tb_Fornecedor->isActive() || Tb_Fornecedor->isEmpty()) {
        app::msg::erro(opcoes.vazioDeletar);
        return;
    }
    if (!verificaExclusao())
        return;
    if (!app::msg::confirma(opcoes.perguntaDeletar)) {
        Tb_Fornecedor->cancel();
        return;
    }
    const int cd = Tb_Fornecedor->value(u"CD_FORNECEDOR"_s).toInt();
    db::Connection *conn = Tb_Fornecedor->connection();
    const bool historico = conn->transaction([cd](db::Transaction &tx) { return temHistorico(tx, cd); });
    if (historico) {
        // its deliveries, vouchers and sheets keep pointing at it: the
        // supplier stays, inactive, out of every list
        Tb_Fornecedor->edit();
        Tb_Fornecedor->setValue(u"ATIVO"_s, u"N"_s);
        Tb_Fornecedor->post();
        if (app::AplicaAlteracoes(*Tb_Fornecedor))
            Tb_Fornecedor->refresh();
    } else {
        Tb_Fornecedor->remove();
        // History written meanwhile by another workstation keeps the
        // supplier: the database refuses the deletion.
        app::AplicaAlteracoes(*Tb_Fornecedor, [cd](db::Transaction &tx) {
            if (temHistorico(tx, cd))
                throw db::Error(u"Fornecedor com movimentação não pode ser apagado"_s);
        });
    }
    botoesMovimento();
}

bool FrmCadFornecedor::FormKeyDown(QKeyEvent *evento)
{
    // Enter in the price offers to record the supplier
    if ((evento->key() == Qt::Key_Return || evento->key() == Qt::Key_Enter) && EDIT_PRECO->hasFocus()
        && editando()) {
        if (app::msg::pergunta(u" Gravar ?"_s, QMessageBox::Information))
            GravarClick();
        return true;
    }
    return FormCadastro::FormKeyDown(evento);
}

} // namespace fornecedores
