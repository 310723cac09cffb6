#include "suppliers/frmentleite.h"

#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace fornecedores {

namespace {

app::RegistroJanela<FrmEntLeite> registro(u"Entrada_de_Leite"_s);

constexpr int kLeite = 1; // product 1 is raw milk

const QString kListaDoDia =
    u"SELECT * FROM ENTRADA_PRODUTO WHERE DTENTRADA = :PDTENTRADA AND CD_PRODUTO = 1 ORDER BY CD_ENTRADA"_s;
const QString Q_GRAVAENT =
    u"INSERT INTO ENTRADA_PRODUTO (CD_ENTRADA,CD_FORNECEDOR,CD_PRODUTO,QUANTLTBOM,QUANTLTACIDO,DTENTRADA,PAGO) "
    "VALUES (1,:PCDFORNECEDOR,:PCDPRODUTO,:PQUANTLTBOM,:PQUANTLTACIDO,:PDTENTRADA,'N')"_s;
const QString q_atualizaentradaprod =
    u"UPDATE ENTRADA_PRODUTO SET CD_FORNECEDOR = :PCDFORNECEDOR, QUANTLTBOM = :PQUANTLTBOM, "
    "QUANTLTACIDO = :PQUANTLTACIDO WHERE CD_ENTRADA = :PCDENTRADA"_s;
const QString kApagaEntrada = u"DELETE FROM ENTRADA_PRODUTO WHERE CD_ENTRADA = :PCDENTRADA"_s;
// The row as the database holds it now, locked until the action ends.
const QString kLeEntrada = u"SELECT QUANTLTBOM, QUANTLTACIDO, PAGO FROM ENTRADA_PRODUTO "
                           "WHERE CD_ENTRADA = :PCDENTRADA WITH LOCK"_s;
const QString kEstoqueEntra = u"EXECUTE PROCEDURE ATUAL_PROD_FORN_INS_LEITE :PQUANTIDADE, :PCDPRODUTO"_s;
const QString kEstoqueSai = u"EXECUTE PROCEDURE ATUAL_PROD_FORN_DEL_LEITE :PQUANTIDADE, :PCDPRODUTO"_s;
const QString kDuplicadaBom =
    u"SELECT FIRST 1 CD_ENTRADA FROM ENTRADA_PRODUTO WHERE CD_FORNECEDOR = :PCDFORNECEDOR "
    "AND DTENTRADA = :PDTENTRADA AND CD_PRODUTO = 1 AND QUANTLTBOM > 0 AND CD_ENTRADA <> :PCDENTRADA"_s;
const QString kDuplicadaAcido =
    u"SELECT FIRST 1 CD_ENTRADA FROM ENTRADA_PRODUTO WHERE CD_FORNECEDOR = :PCDFORNECEDOR "
    "AND DTENTRADA = :PDTENTRADA AND CD_PRODUTO = 1 AND QUANTLTACIDO > 0 AND CD_ENTRADA <> :PCDENTRADA"_s;

const QString kVazia = u"Banco de dados vazio!"_s;
const QString kSemLancamentos = u"Não Existe Lançamentos para esta data! "_s;
const QString kDeletar1 = u"Deseja realmente deletar esta Entrada?"_s;
const QString kDeletar2 = u"Esta operação Diminuirá a quantidade de leite do estoque \n"
                          "          Deseja realmente deletar esta Entrada?"_s;

// A refusal found inside the action's transaction: rolled back, then told.
struct Recusa
{
    QString texto;
};

db::Decimal zero()
{
    return db::Decimal(0, 2);
}

db::Decimal total(const db::Result &linha)
{
    return db::Decimal::fromVariant(linha.value(u"QUANTLTBOM"_s), 2)
           + db::Decimal::fromVariant(linha.value(u"QUANTLTACIDO"_s), 2);
}

// The database row of the delivery, refused when it is gone or settled.
db::Decimal leEntradaAberta(db::Transaction &tx, int chave)
{
    const db::Result r = tx.execute(kLeEntrada, {{u"PCDENTRADA"_s, chave}});
    if (r.isEmpty())
        throw Recusa{app::textoRelacionamentos()};
    if (r.value(u"PAGO"_s).toString().trimmed() == u"S"_s)
        throw Recusa{FrmEntLeite::textoPaga()};
    return total(r);
}

// The relationship warning of the shared apply routine for what the
// database no longer holds; an error for a settled delivery.
void mostraRecusa(const QString &texto)
{
    if (texto == app::textoRelacionamentos())
        app::msg::aviso(texto);
    else
        app::msg::erro(texto);
}

QPushButton *botao(QWidget *pai, QHBoxLayout *barra, const QString &nome, const QString &legenda)
{
    auto *b = new QPushButton(legenda, pai);
    b->setObjectName(nome);
    b->setFocusPolicy(Qt::NoFocus);
    barra->addWidget(b);
    return b;
}

} // namespace

QString FrmEntLeite::textoCampos()
{
    return u"Preencha os campos, Data, Quantidade, Valor e Fornecedor"_s;
}

QString FrmEntLeite::textoDuplicada()
{
    return u"Já Existe entrada de Leite Nesta data para este fornecedor! , Cancela entrada ? ! "_s;
}

QString FrmEntLeite::textoPaga()
{
    return u"Esta entrada de leite já foi paga por uma folha de pagamento lançada e não pode ser "
           "alterada nem apagada!"_s;
}

QString FrmEntLeite::textoLitros(const db::Decimal &litros)
{
    return db::formatNumber(litros, u"0.##"_s) + u" LITROS"_s;
}

FrmEntLeite::FrmEntLeite(QWidget *pai) : app::Janela(pai)
{
    setObjectName(u"FrmEntLeite"_s);
    setWindowTitle(u"Entrada de Leite"_s);
    db::Connection *conn = app::principal()->DB_Corvena;

    Tb_Fornecedor = new db::Dataset(conn, u"SELECT * FROM FORNECEDOR WHERE ATIVO = 'S' ORDER BY NOME"_s, this);
    Tb_Fornecedor->setObjectName(u"Tb_Fornecedor"_s);
    Q_Entradas = new db::Dataset(conn, kListaDoDia, this);
    Q_Entradas->setObjectName(u"Q_Entradas"_s);
    // the name is looked up among the active suppliers
    Q_Entradas->addLookupField(u"FORNECEDOR"_s, u"CD_FORNECEDOR"_s, Tb_Fornecedor, u"CD_FORNECEDOR"_s, u"NOME"_s);
    Q_Entradas->model()->setColumns({{u"FORNECEDOR"_s, u"FORNECEDOR"_s, 50},
                                     {u"QUANTLTBOM"_s, u"QUANT LT BOM"_s, 16},
                                     {u"QUANTLTACIDO"_s, u"QUANT LT ACIDO"_s, 16}});

    auto *principal = new QVBoxLayout(this);
    principal->setContentsMargins(4, 4, 4, 4);

    // the band with the date
    Painel_Data = new QWidget(this);
    Painel_Data->setObjectName(u"Painel_Data"_s);
    auto *banda = new QHBoxLayout(Painel_Data);
    auto *titulo = new QLabel(u"ENTRADA DE LEITE"_s, Painel_Data);
    QFont negrito = titulo->font();
    negrito.setBold(true);
    negrito.setPointSize(negrito.pointSize() + 4);
    titulo->setFont(negrito);
    banda->addWidget(titulo);
    banda->addSpacing(40);
    auto *rotuloData = new QLabel(u"DATA ENTRADA"_s, Painel_Data);
    banda->addWidget(rotuloData);
    Edit_Data = new app::EditData(Painel_Data);
    Edit_Data->setObjectName(u"Edit_Data"_s);
    Edit_Data->setMaximumWidth(140);
    rotuloData->setBuddy(Edit_Data);
    banda->addWidget(Edit_Data);
    banda->addStretch(1);
    principal->addWidget(Painel_Data);

    // the entry panel
    Painel_Entrada = new QWidget(this);
    Painel_Entrada->setObjectName(u"Painel_Entrada"_s);
    auto *entrada = new QHBoxLayout(Painel_Entrada);
    RG_Leite = new QGroupBox(u"Leite"_s, Painel_Entrada);
    RG_Leite->setObjectName(u"RG_Leite"_s);
    auto *tipos = new QHBoxLayout(RG_Leite);
    RB_Acido = new QRadioButton(u"Acido"_s, RG_Leite);
    RB_Acido->setObjectName(u"RB_Acido"_s);
    RB_Bom = new QRadioButton(u"Bom"_s, RG_Leite);
    RB_Bom->setObjectName(u"RB_Bom"_s);
    RB_Bom->setChecked(true);
    tipos->addWidget(RB_Acido);
    tipos->addWidget(RB_Bom);
    entrada->addWidget(RG_Leite);
    auto *rotuloFornecedor = new QLabel(u"FORNECEDOR"_s, Painel_Entrada);
    entrada->addWidget(rotuloFornecedor);
    LKP_Fornecedor = new app::CampoEscolha(Painel_Entrada);
    LKP_Fornecedor->setObjectName(u"LKP_Fornecedor"_s);
    LKP_Fornecedor->setMaximumWidth(90);
    LKP_Fornecedor->setLista(Tb_Fornecedor, u"CD_FORNECEDOR"_s, u"Escolha o Fornecedor"_s,
                             {{u"NOME"_s, u"NOME"_s}, {u"FAZENDA"_s, u"FAZENDA"_s}, {u"PRECO"_s, u"PRECO"_s}});
    rotuloFornecedor->setBuddy(LKP_Fornecedor);
    entrada->addWidget(LKP_Fornecedor);
    lb_NomeFornecedor = new QLabel(Painel_Entrada);
    lb_NomeFornecedor->setObjectName(u"lb_NomeFornecedor"_s);
    lb_NomeFornecedor->setMinimumWidth(300);
    entrada->addWidget(lb_NomeFornecedor);
    auto *rotuloQuantidade = new QLabel(u"QUANTIDADE"_s, Painel_Entrada);
    entrada->addWidget(rotuloQuantidade);
    Edit_Quantidade = new app::EditDecimal(Painel_Entrada, 2);
    Edit_Quantidade->setObjectName(u"Edit_Quantidade"_s);
    Edit_Quantidade->setMaximumWidth(110);
    rotuloQuantidade->setBuddy(Edit_Quantidade);
    entrada->addWidget(Edit_Quantidade);
    entrada->addWidget(new QLabel(u"(Litros)"_s, Painel_Entrada));
    Gravar = new QPushButton(u"Gravar"_s, Painel_Entrada);
    Gravar->setObjectName(u"Gravar"_s);
    Gravar->setFocusPolicy(Qt::TabFocus);
    entrada->addWidget(Gravar);
    entrada->addStretch(1);
    principal->addWidget(Painel_Entrada);

    // the day's deliveries
    Grid_Entradas = new app::GradeDados(this);
    Grid_Entradas->setObjectName(u"Grid_Entradas"_s);
    Grid_Entradas->setDataset(Q_Entradas);
    Grid_Entradas->setContextMenuPolicy(Qt::ActionsContextMenu);
    Apagar_Entrada = new QAction(u"Apagar este Entrada"_s, Grid_Entradas);
    Apagar_Entrada->setObjectName(u"Apagar_Entrada"_s);
    Grid_Entradas->addAction(Apagar_Entrada);
    principal->addWidget(Grid_Entradas, 1);

    auto *totais = new QHBoxLayout;
    totais->addWidget(new QLabel(u"TOTAL LT BOM"_s, this));
    lb_TotalBom = new QLabel(this);
    lb_TotalBom->setObjectName(u"lb_TotalBom"_s);
    lb_TotalBom->setMinimumWidth(160);
    totais->addWidget(lb_TotalBom);
    totais->addSpacing(30);
    totais->addWidget(new QLabel(u"TOTAL LT ACIDO"_s, this));
    lb_TotalAcido = new QLabel(this);
    lb_TotalAcido->setObjectName(u"lb_TotalAcido"_s);
    lb_TotalAcido->setMinimumWidth(160);
    totais->addWidget(lb_TotalAcido);
    totais->addStretch(1);
    principal->addLayout(totais);

    Navegador = new QWidget(this);
    Navegador->setObjectName(u"Navegador"_s);
    auto *barra = new QHBoxLayout(Navegador);
    barra->setContentsMargins(0, 0, 0, 0);
    Entrada = botao(Navegador, barra, u"Entrada"_s, u"Entrada"_s);
    Alterar = botao(Navegador, barra, u"Alterar"_s, u"Alterar"_s);
    Deletar = botao(Navegador, barra, u"Deletar"_s, u"Deletar"_s);
    Cancelar = botao(Navegador, barra, u"Cancelar"_s, u"Cancelar"_s);
    Primeiro = botao(Navegador, barra, u"Primeiro"_s, u"Primeiro"_s);
    Anterior = botao(Navegador, barra, u"Anterior"_s, u"Anterior"_s);
    Proximo = botao(Navegador, barra, u"Proximo"_s, u"Próximo"_s);
    Ultimo = botao(Navegador, barra, u"Ultimo"_s, u"Último"_s);
    Sair = botao(Navegador, barra, u"Sair"_s, u"Sair"_s);
    principal->addWidget(Navegador);

    app::conecta(Entrada, &QPushButton::clicked, this, [this] { EntradaClick(); });
    app::conecta(Alterar, &QPushButton::clicked, this, [this] { AlterarClick(); });
    app::conecta(Deletar, &QPushButton::clicked, this, [this] { DeletarClick(); });
    app::conecta(Cancelar, &QPushButton::clicked, this, [this] { CancelarClick(); });
    app::conecta(Gravar, &QPushButton::clicked, this, [this] { GravarClick(); });
    app::conecta(Sair, &QPushButton::clicked, this, [this] { SairClick(); });
    app::conecta(Primeiro, &QPushButton::clicked, this, [this] { Q_Entradas->first(); });
    app::conecta(Anterior, &QPushButton::clicked, this, [this] { Q_Entradas->prior(); });
    app::conecta(Proximo, &QPushButton::clicked, this, [this] { Q_Entradas->next(); });
    app::conecta(Ultimo, &QPushButton::clicked, this, [this] { Q_Entradas->last(); });
    app::conecta(Apagar_Entrada, &QAction::triggered, this, [this] { DeletarClick(); });
    app::conecta(Edit_Data, &app::EditData::editingFinished, this, [this] { DataAlterada(); });
    app::conecta(LKP_Fornecedor, &app::CampoEscolha::escolhido, this, [this] {
        lb_NomeFornecedor->setText(
            Tb_Fornecedor->lookup(u"CD_FORNECEDOR"_s, LKP_Fornecedor->chave(), u"NOME"_s).toString());
    });
    connect(Q_Entradas, &db::Dataset::scrolled, this, [this] { app::protege([this] { mostraLinha(); }); });
    connect(Q_Entradas, &db::Dataset::rowsChanged, this, [this] { Apagar_Entrada->setEnabled(!Q_Entradas->isEmpty()); });
    connect(Q_Entradas, &db::Dataset::opened, this, [this] { Apagar_Entrada->setEnabled(!Q_Entradas->isEmpty()); });
    Edit_Data->editor()->installEventFilter(this);
    Edit_Quantidade->installEventFilter(this);

    // FormCreate: today, its deliveries, the totals; the panel waits
    Tb_Fornecedor->open();
    Edit_Data->setData(QDate::currentDate());
    abreDia(QDate::currentDate());
    ajustaBotoes();
}

// ---------------------------------------------------------------------------
// the list of the day

void FrmEntLeite::abreDia(const QDate &dia)
{
    m_data = dia;
    Q_Entradas->close();
    Q_Entradas->setParam(u"PDTENTRADA"_s, dia);
    Q_Entradas->open();
    calculaTotais();
}

void FrmEntLeite::calculaTotais()
{
    db::Decimal bom = zero(), acido = zero();
    for (int i = 0; i < Q_Entradas->recordCount(); ++i) {
        bom += db::Decimal::fromVariant(Q_Entradas->value(i, u"QUANTLTBOM"_s), 2);
        acido += db::Decimal::fromVariant(Q_Entradas->value(i, u"QUANTLTACIDO"_s), 2);
    }
    lb_TotalBom->setText(textoLitros(bom));
    lb_TotalAcido->setText(textoLitros(acido));
}

void FrmEntLeite::mostraLinha()
{
    if (m_modo != Modo::Navegando)
        return;
    if (!Q_Entradas->isActive() || Q_Entradas->isEmpty()) {
        limpaCampos();
        m_chave = 0;
        m_quantAntiga = zero();
        return;
    }
    const QVariant fornecedor = Q_Entradas->value(u"CD_FORNECEDOR"_s);
    LKP_Fornecedor->setChave(fornecedor);
    lb_NomeFornecedor->setText(Q_Entradas->text(u"FORNECEDOR"_s));
    const db::Decimal bom = Q_Entradas->decimal(u"QUANTLTBOM"_s);
    const db::Decimal acido = Q_Entradas->decimal(u"QUANTLTACIDO"_s);
    const bool ehBom = bom > zero();
    (ehBom ? RB_Bom : RB_Acido)->setChecked(true);
    m_quantAntiga = ehBom ? bom : acido;
    Edit_Quantidade->setValor(m_quantAntiga);
    m_chave = Q_Entradas->value(u"CD_ENTRADA"_s).toInt();
}

void FrmEntLeite::limpaCampos()
{
    LKP_Fornecedor->setChave(QVariant());
    lb_NomeFornecedor->clear();
    Edit_Quantidade->clear();
}

void FrmEntLeite::ajustaBotoes(QWidget *foco)
{
    const bool navegando = m_modo == Modo::Navegando;
    // What is enabled comes first and takes the focus, so that the control
    // being disabled does not send it off to the date field (which would
    // cancel the entry).
    if (navegando) {
        Grid_Entradas->setEnabled(true);
        if (Painel_Entrada->isAncestorOf(QApplication::focusWidget()))
            Grid_Entradas->setFocus();
        Painel_Entrada->setEnabled(false);
    } else {
        Painel_Entrada->setEnabled(true);
        if (foco)
            foco->setFocus();
        Grid_Entradas->setEnabled(false);
    }
    for (QPushButton *b : {Entrada, Alterar, Deletar, Primeiro, Anterior, Proximo, Ultimo})
        b->setEnabled(navegando);
    Cancelar->setEnabled(!navegando);
    Gravar->setEnabled(true);
    Apagar_Entrada->setEnabled(!Q_Entradas->isEmpty());
}

// ---------------------------------------------------------------------------
// the date

void FrmEntLeite::assumeDataDigitada()
{
    const QDate d = Edit_Data->data();
    if (d.isValid() && d != m_data)
        abreDia(d);
}

void FrmEntLeite::DataAlterada()
{
    // a date typed and left, or picked in the calendar
    if (QApplication::activeModalWidget())
        return;
    const QDate d = Edit_Data->data();
    if (!d.isValid() || d == m_data)
        return;
    if (m_modo != Modo::Navegando)
        CancelarClick();
    abreDia(d);
    ajustaBotoes();
}

bool FrmEntLeite::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::FocusIn && objeto == Edit_Data->editor()) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(evento)->reason();
        // Entering the date field drops the delivery being typed.
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason
            && m_modo != Modo::Navegando) {
            app::protege([this] {
                CancelarClick();
                limpaCampos();
            });
        }
    } else if (evento->type() == QEvent::FocusOut && objeto == Edit_Quantidade) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            app::protege([this] { QuantidadeExit(); });
    }
    return app::Janela::eventFilter(objeto, evento);
}

// ---------------------------------------------------------------------------
// the quantity

std::optional<db::Decimal> FrmEntLeite::quantidade() const
{
    const QString texto = Edit_Quantidade->text().trimmed();
    if (texto.isEmpty())
        return std::nullopt;
    QString t = texto;
    if (t.contains(u','))
        t.remove(u'.');
    const std::optional<db::Decimal> d = db::Decimal::parse(t);
    if (!d)
        throw db::Error(u"'%1' não é um valor numérico válido"_s.arg(texto));
    return d->rescaled(2);
}

void FrmEntLeite::QuantidadeExit()
{
    // an invalid number is told when the field is left
    if (m_modo != Modo::Navegando && LKP_Fornecedor->chave().isValid())
        quantidade();
}

// ---------------------------------------------------------------------------
// actions

void FrmEntLeite::EntradaClick()
{
    assumeDataDigitada();
    m_modo = Modo::Inserindo;
    ajustaBotoes(RB_Acido->isChecked() ? RB_Acido : RB_Bom);
    limpaCampos();
}

bool FrmEntLeite::linhaPaga() const
{
    return Q_Entradas->text(u"PAGO"_s).trimmed() == u"S"_s;
}

void FrmEntLeite::AlterarClick()
{
    if (m_modo != Modo::Navegando)
        return;
    if (Q_Entradas->isEmpty()) {
        app::msg::erro(kVazia);
        return;
    }
    if (linhaPaga()) {
        app::msg::erro(textoPaga());
        return;
    }
    mostraLinha();
    m_modo = Modo::Alterando;
    ajustaBotoes(LKP_Fornecedor);
}

bool FrmEntLeite::existeDuplicada(int cdFornecedor, const QDate &dia, bool bom, int excetoChave) const
{
    const db::Result r = Q_Entradas->connection()->execute(bom ? kDuplicadaBom : kDuplicadaAcido,
                                                           {{u"PCDFORNECEDOR"_s, cdFornecedor},
                                                            {u"PDTENTRADA"_s, dia},
                                                            {u"PCDENTRADA"_s, excetoChave}});
    return !r.isEmpty();
}

void FrmEntLeite::GravarClick()
{
    if (m_modo == Modo::Navegando)
        return;
    const QDate dia = Edit_Data->data();
    const QVariant fornecedor = LKP_Fornecedor->chave();
    const std::optional<db::Decimal> quant = quantidade(); // a text that is no number stops here
    // nothing of the delivery may be missing; no litres count as none
    if (!dia.isValid() || !quant || *quant <= zero() || !fornecedor.isValid() || fornecedor.isNull()) {
        app::msg::mostra(QMessageBox::Information, textoCampos(), QMessageBox::Yes);
        return;
    }
    const bool inserindo = m_modo == Modo::Inserindo;
    if (inserindo && dia != m_data)
        abreDia(dia);
    const int cdFornecedor = fornecedor.toInt();
    const bool bom = RB_Bom->isChecked();

    if (existeDuplicada(cdFornecedor, m_data, bom, inserindo ? -1 : m_chave)) {
        if (app::msg::mostra(QMessageBox::Critical, textoDuplicada(), QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes) {
            CancelarClick();
        } else {
            LKP_Fornecedor->setFocus();
            Cancelar->setEnabled(false);
        }
        return;
    }

    const db::Decimal litrosBom = bom ? *quant : zero();
    const db::Decimal litrosAcido = bom ? zero() : *quant;
    const db::Decimal litros = litrosBom + litrosAcido;
    db::Connection *conn = Q_Entradas->connection();

    if (inserindo) {
        conn->transaction([&](db::Transaction &tx) {
            tx.execute(Q_GRAVAENT, {{u"PCDFORNECEDOR"_s, cdFornecedor},
                                    {u"PCDPRODUTO"_s, kLeite},
                                    {u"PQUANTLTBOM"_s, litrosBom.toVariant()},
                                    {u"PQUANTLTACIDO"_s, litrosAcido.toVariant()},
                                    {u"PDTENTRADA"_s, m_data}});
            tx.execute(kEstoqueEntra, {{u"PQUANTIDADE"_s, litros.toVariant()}, {u"PCDPRODUTO"_s, kLeite}});
        });
        abreDia(m_data);
        EntradaClick(); // the next delivery at once
        return;
    }

    const int chave = m_chave;
    try {
        conn->transaction([&](db::Transaction &tx) {
            // the stock loses what the row holds now, not what the list showed
            const db::Decimal antiga = leEntradaAberta(tx, chave);
            tx.execute(q_atualizaentradaprod, {{u"PCDFORNECEDOR"_s, cdFornecedor},
                                               {u"PQUANTLTBOM"_s, litrosBom.toVariant()},
                                               {u"PQUANTLTACIDO"_s, litrosAcido.toVariant()},
                                               {u"PCDENTRADA"_s, chave}});
            tx.execute(kEstoqueSai, {{u"PQUANTIDADE"_s, antiga.toVariant()}, {u"PCDPRODUTO"_s, kLeite}});
            tx.execute(kEstoqueEntra, {{u"PQUANTIDADE"_s, litros.toVariant()}, {u"PCDPRODUTO"_s, kLeite}});
        });
    } catch (const Recusa &r) {
        m_modo = Modo::Navegando;
        abreDia(m_data);
        ajustaBotoes();
        mostraRecusa(r.texto);
        return;
    }
    m_modo = Modo::Navegando;
    abreDia(m_data);
    ajustaBotoes();
    Q_Entradas->locate(u"CD_FORNECEDOR"_s, cdFornecedor);
}

void FrmEntLeite::DeletarClick()
{
    if (m_modo != Modo::Navegando)
        return;
    if (Q_Entradas->isEmpty()) {
        app::msg::erro(kSemLancamentos);
        return;
    }
    if (linhaPaga()) {
        app::msg::erro(textoPaga());
        return;
    }
    if (!app::msg::pergunta(kDeletar1, QMessageBox::Warning))
        return;
    if (!app::msg::pergunta(kDeletar2, QMessageBox::Information))
        return;
    const int chave = Q_Entradas->value(u"CD_ENTRADA"_s).toInt();
    const int linha = Q_Entradas->recNo();
    QString recusa;
    try {
        Q_Entradas->connection()->transaction([&](db::Transaction &tx) {
            const db::Decimal litros = leEntradaAberta(tx, chave);
            tx.execute(kEstoqueSai, {{u"PQUANTIDADE"_s, litros.toVariant()}, {u"PCDPRODUTO"_s, kLeite}});
            tx.execute(kApagaEntrada, {{u"PCDENTRADA"_s, chave}});
        });
    } catch (const Recusa &r) {
        recusa = r.texto;
    } catch (const db::Error &) {
        recusa = app::textoRelacionamentos();
    }
    // the list shows what the database holds, near where it was
    abreDia(m_data);
    if (!Q_Entradas->isEmpty())
        Q_Entradas->setRecNo(std::min(linha, Q_Entradas->recordCount() - 1));
    ajustaBotoes();
    if (!recusa.isEmpty())
        mostraRecusa(recusa);
}

void FrmEntLeite::CancelarClick()
{
    m_modo = Modo::Navegando;
    ajustaBotoes();
    limpaCampos();
    abreDia(m_data);
}

void FrmEntLeite::SairClick()
{
    close();
}

bool FrmEntLeite::FormClose()
{
    if (m_modo != Modo::Navegando) {
        if (!app::msg::pergunta(app::FormCadastro::perguntaCancelamento(), QMessageBox::Information))
            return false;
        m_modo = Modo::Navegando;
    }
    Q_Entradas->close();
    Tb_Fornecedor->close();
    return true;
}

bool FrmEntLeite::FormKeyDown(QKeyEvent *evento)
{
    // keys of a chooser or a message shown over the window are theirs
    if (QApplication::activeModalWidget())
        return false;
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter on "Gravar" records, so deliveries are typed without the mouse
        if (Gravar->hasFocus()) {
            GravarClick();
            return true;
        }
        app::proximoCampo(this);
        return true;
    case Qt::Key_F4:
        if (m_modo == Modo::Navegando)
            EntradaClick();
        return true;
    case Qt::Key_F6:
        if (m_modo == Modo::Navegando)
            DeletarClick();
        return true;
    case Qt::Key_F8:
        if (m_modo != Modo::Navegando)
            CancelarClick();
        return true;
    default:
        return false;
    }
}

} // namespace fornecedores
