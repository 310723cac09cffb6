#include "cashbook/frmcadcaixageral.h"

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/formcadastro.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "cashbook/frmescolheconta.h"
#include "cashbook/impcaixadiario.h"
#include "db/dataset.h"
#include "reports/pagereport.h"
#include "reports/previewdialog.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace caixa {

namespace {

const QString kConta = u"NOME_CONTA"_s; // the column "CONTA": the account's name
const QString kDescricao = u"DESCRICAO"_s;
const QString kValor = u"VALOR"_s;

QPushButton *botao(QWidget *pai, QHBoxLayout *barra, const QString &nome, const QString &legenda,
                   const QString &dica = {})
{
    auto *b = new QPushButton(legenda, pai);
    b->setObjectName(nome);
    if (!dica.isEmpty())
        b->setToolTip(dica);
    b->setFocusPolicy(Qt::NoFocus);
    barra->addWidget(b);
    return b;
}

// Nothing, or nothing but zero, in "VALOR".
bool semValor(const db::Dataset *lista)
{
    return lista->isNull(kValor) || lista->decimal(kValor).isZero();
}

} // namespace

FrmCadCaixaGeral::FrmCadCaixaGeral(QWidget *pai) : app::Janela(pai)
{
    setObjectName(u"FrmCadCaixaGeral"_s);
    setWindowTitle(u"Manutenção de Caixa Geral"_s);
    db::Connection *conexao = app::principal()->DB_Corvena;

    // --- datasets -------------------------------------------------------------
    Tb_conta = new db::Dataset(conexao, u"SELECT * FROM CONTA ORDER BY DESCRICAO"_s, this);
    Tb_conta->setObjectName(u"Tb_conta"_s);
    Tb_saldocaixa = new db::Dataset(
        conexao, u"select * from SALDOCAIXA where DTSALDO >= :PDATA ORDER BY DTSALDO DESCENDING"_s, this);
    Tb_saldocaixa->setObjectName(u"Tb_saldocaixa"_s);
    m_desde = QDate::currentDate().addDays(-40);
    Tb_saldocaixa->setParam(u"PDATA"_s, m_desde);
    Tb_saldocaixa->model()->setColumns({{u"DTSALDO"_s, u"DATA"_s, 12},
                                        db::DatasetModel::Column::formatted(u"TOTCREDITO"_s, u"TOTAL CRÉDITO"_s,
                                                                            u"#,##0.00"_s),
                                        db::DatasetModel::Column::formatted(u"TOTDEBITO"_s, u"TOTAL DÉBITO"_s,
                                                                            u"#,##0.00"_s),
                                        db::DatasetModel::Column::formatted(u"SALDOATUAL"_s, u"SALDO ATUAL"_s,
                                                                            u"#,##0.00"_s)});

    auto lista = [&](const QString &nome, const QString &letra) {
        auto *ds = new db::Dataset(
            conexao, u"select * from MOVIMENTO where DATA = :Pdata and DEBITO_CREDITO='%1'"_s.arg(letra), this);
        ds->setObjectName(nome);
        ds->addLookupField(kConta, u"CD_CONTA"_s, Tb_conta, u"CD_CONTA"_s, u"DESCRICAO"_s);
        db::DatasetModel::Column descricao(kDescricao, u"DESCRIÇÃO"_s, 30);
        descricao.readOnly = false;
        auto valor = db::DatasetModel::Column::formatted(kValor, u"VALOR"_s, u"#,##0.00"_s);
        valor.width = 14;
        valor.readOnly = false;
        ds->model()->setColumns({{kConta, u"CONTA"_s, 22}, descricao, valor});
        // a new entry: the placeholder key (the server gives the real one),
        // the day shown and the letter of its list
        ds->BeforePost = [this, ds, letra] {
            if (semValor(ds)) {
                // dropped (or, for a stored entry, withdrawn): never written
                ds->cancel();
                throw db::Abort();
            }
            if (ds->decimal(kValor).isNegative()) {
                app::msg::informacao(u"O valor do lançamento deve ser positivo!"_s);
                if (app::GradeDados *g = gradeDe(ds))
                    g->vaiParaColuna(kValor);
                throw db::Abort();
            }
            if (ds->state() == db::Dataset::State::Insert) {
                ds->setValue(u"CD_MOVIMENTO"_s, 1);
                ds->setValue(u"DATA"_s, m_dia);
                ds->setValue(u"DEBITO_CREDITO"_s, letra);
            }
        };
        // a row posted by anything but grava(): written on the next turn
        ds->AfterPost = [this, ds] {
            if (m_gravando == ds)
                return;
            QMetaObject::invokeMethod(
                this, [this, ds] { app::protege([&] { depoisDeGravar(ds); }); }, Qt::QueuedConnection);
        };
        return ds;
    };
    Tb_credito = lista(u"Tb_credito"_s, u"C"_s);
    Tb_debito = lista(u"Tb_debito"_s, u"D"_s);

    // --- components -----------------------------------------------------------
    auto *principal = new QVBoxLayout(this);
    principal->setContentsMargins(4, 4, 4, 4);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(u"PageControl"_s);
    principal->addWidget(PageControl);

    TabSheet_Manutencao = new QWidget;
    TabSheet_Manutencao->setObjectName(u"TabSheet_Manutencao"_s);
    auto *manutencao = new QVBoxLayout(TabSheet_Manutencao);
    auto *topo = new QHBoxLayout;
    auto *rotuloData = new QLabel(u"DATA CAIXA"_s, TabSheet_Manutencao);
    EDIT_DATACAIXA = new app::EditData(TabSheet_Manutencao);
    EDIT_DATACAIXA->setObjectName(u"EDIT_DATACAIXA"_s);
    EDIT_DATACAIXA->setMaximumWidth(140);
    rotuloData->setBuddy(EDIT_DATACAIXA);
    topo->addWidget(rotuloData);
    topo->addWidget(EDIT_DATACAIXA);
    topo->addSpacing(20);
    lb_titulo = new QLabel(u"Caixa do Dia"_s, TabSheet_Manutencao);
    lb_titulo->setObjectName(u"lb_titulo"_s);
    QFont fonteTitulo = lb_titulo->font();
    fonteTitulo.setBold(true);
    fonteTitulo.setPointSizeF(fonteTitulo.pointSizeF() * 1.4);
    lb_titulo->setFont(fonteTitulo);
    topo->addWidget(lb_titulo, 1);
    bt_localizar = botao(TabSheet_Manutencao, topo, u"bt_localizar"_s, u"&Localizar"_s,
                         u"Localiza um Determinado Caixa"_s);
    Imprimir = botao(TabSheet_Manutencao, topo, u"Imprimir"_s, u"Imprimir"_s);
    bt_sair = botao(TabSheet_Manutencao, topo, u"bt_sair"_s, u"&Sair"_s, u"Fecha esta janela de cadastro"_s);
    manutencao->addLayout(topo);

    auto painel = [&](const QString &nome, const QString &titulo, db::Dataset *ds, const QString &nomeGrade,
                      const QString &nomeTotal, const QString &nomeAcao, app::GradeDados *&grade, QLabel *&total,
                      QAction *&deletar) {
        auto *p = new QGroupBox(titulo, TabSheet_Manutencao);
        p->setObjectName(nome);
        auto *v = new QVBoxLayout(p);
        grade = new app::GradeDados(p);
        grade->setObjectName(nomeGrade);
        grade->setDataset(ds);
        grade->setSelectionBehavior(QAbstractItemView::SelectItems);
        grade->viewport()->installEventFilter(this);
        deletar = new QAction(u"Deletar Este Registro"_s, grade);
        deletar->setObjectName(nomeAcao);
        grade->addAction(deletar);
        grade->setContextMenuPolicy(Qt::ActionsContextMenu);
        v->addWidget(grade, 1);
        total = new QLabel(p);
        total->setObjectName(nomeTotal);
        total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont f = total->font();
        f.setBold(true);
        total->setFont(f);
        v->addWidget(total);
        p->setEnabled(false);
        return p;
    };
    auto *listas = new QHBoxLayout;
    Painel_Credito = painel(u"Painel_Credito"_s, u"Lançamentos de Créditos"_s, Tb_credito, u"Grid_Credito"_s,
                            u"lb_totcredito"_s, u"Deletar_Credito"_s, Grid_Credito, lb_totcredito, Deletar_Credito);
    Painel_Debito = painel(u"Painel_Debito"_s, u"Lançamento de Débitos"_s, Tb_debito, u"Grid_Debito"_s,
                           u"lb_totdebito"_s, u"Deletar_Debito"_s, Grid_Debito, lb_totdebito, Deletar_Debito);
    listas->addWidget(Painel_Credito);
    listas->addWidget(Painel_Debito);
    manutencao->addLayout(listas, 1);
    PageControl->addTab(TabSheet_Manutencao, u"Manutenção de Caixa"_s);

    TabSheet_Saldo = new QWidget;
    TabSheet_Saldo->setObjectName(u"TabSheet_Saldo"_s);
    auto *saldo = new QVBoxLayout(TabSheet_Saldo);
    Grid_Saldo = new app::GradeDados(TabSheet_Saldo);
    Grid_Saldo->setObjectName(u"Grid_Saldo"_s);
    Grid_Saldo->setDataset(Tb_saldocaixa);
    saldo->addWidget(Grid_Saldo);
    PageControl->addTab(TabSheet_Saldo, u"Saldo do Caixa"_s);

    // --- handlers -------------------------------------------------------------
    app::conecta(bt_localizar, &QPushButton::clicked, this, [this] { LocalizarClick(); });
    app::conecta(Imprimir, &QPushButton::clicked, this, [this] { ImprimirClick(); });
    app::conecta(bt_sair, &QPushButton::clicked, this, [this] { SairClick(); });
    app::conecta(Deletar_Credito, &QAction::triggered, this, [this] { Deletar_CreditoClick(); });
    app::conecta(Deletar_Debito, &QAction::triggered, this, [this] { Deletar_DebitoClick(); });
    app::conecta(Grid_Saldo, &app::GradeDados::duploClique, this, [this] { Grid_SaldoDblClick(); });
    // the date box locates when its calendar closes or it loses the focus
    // (not when a message or a dialog takes the focus for a moment)
    app::conecta(EDIT_DATACAIXA, &app::EditData::editingFinished, this, [this] {
        if (!m_fechando && !m_localizando && !QApplication::activeModalWidget())
            LocalizarClick();
    });
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int nova) {
        if (m_trocandoAba) {
            m_aba = nova;
            return;
        }
        const int antiga = m_aba;
        bool permite = true;
        app::protege([&] { permite = PageControlChanging(antiga, nova); });
        if (!permite) {
            m_trocandoAba = true;
            PageControl->setCurrentIndex(antiga);
            m_trocandoAba = false;
            if (Grid_Credito->isEnabled() && Tb_credito->isEditing())
                Grid_Credito->setFocus();
            else if (Tb_debito->isEditing())
                Grid_Debito->setFocus();
            return;
        }
        m_aba = nova;
    });
    // leaving a list while its row is being typed asks what to do with it
    m_foco = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *de, QWidget *para) {
        if (m_fechando || !de || !para || !isAncestorOf(para))
            return;
        for (app::GradeDados *g : {Grid_Credito, Grid_Debito}) {
            const bool estava = de == g || g->isAncestorOf(de);
            const bool esta = para == g || g->isAncestorOf(para);
            if (estava && !esta)
                QTimer::singleShot(0, this, [this, g] { app::protege([&] { saiuDaLista(g); }); });
        }
    });

    // --- FormCreate -----------------------------------------------------------
    Tb_conta->open();
    Tb_saldocaixa->open();
    mostraAba(TabSheet_Manutencao);
    EDIT_DATACAIXA->setData(app::DataCaixaGeral);
    LocalizarClick();
}

FrmCadCaixaGeral::~FrmCadCaixaGeral()
{
    // the children go before the QObject part: no focus news while they do
    disconnect(m_foco);
}

app::GradeDados *FrmCadCaixaGeral::gradeDe(db::Dataset *lista) const
{
    return lista == Tb_credito ? Grid_Credito : (lista == Tb_debito ? Grid_Debito : nullptr);
}

void FrmCadCaixaGeral::mostraAba(QWidget *aba)
{
    m_trocandoAba = true;
    PageControl->setCurrentWidget(aba);
    m_aba = PageControl->currentIndex();
    m_trocandoAba = false;
}

// ---------------------------------------------------------------------------
// the day

void FrmCadCaixaGeral::LocalizarClick()
{
    if (m_localizando)
        return;
    m_localizando = true;
    auto fim = qScopeGuard([this] { m_localizando = false; });
    lb_totcredito->clear();
    lb_totdebito->clear();
    const QDate d = EDIT_DATACAIXA->data();
    if (!d.isValid()) {
        app::msg::informacao(u"Entre com a Data do Caixa! "_s);
        return;
    }
    abreDia(d);
}

void FrmCadCaixaGeral::mostraDia(const QDate &d)
{
    if (!d.isValid())
        return;
    mostraAba(TabSheet_Manutencao);
    m_localizando = true;
    auto fim = qScopeGuard([this] { m_localizando = false; });
    abreDia(d);
}

void FrmCadCaixaGeral::abreDia(const QDate &d)
{
    // the rows being typed are settled before the lists are read again
    perguntaSalvar(Tb_credito);
    perguntaSalvar(Tb_debito);
    app::DataCaixaGeral = d;
    m_dia = d;
    EDIT_DATACAIXA->setData(d);
    for (db::Dataset *ds : {Tb_credito, Tb_debito}) {
        ds->close();
        ds->setParam(u"Pdata"_s, d);
        ds->open();
    }
    Tb_saldocaixa->locate(u"DTSALDO"_s, d);
    mostraTotais();
    lb_titulo->setText(u"Caixa do Dia "_s + EDIT_DATACAIXA->texto());
    Painel_Credito->setEnabled(true);
    Painel_Debito->setEnabled(true);
}

void FrmCadCaixaGeral::mostraTotais()
{
    // the day's row as the database keeps it now (also for days older than
    // the recent ones); no row yet: nothing entered, both zero
    const db::Result r = Tb_saldocaixa->connection()->execute(
        u"select * from SALDOCAIXA where DTSALDO = :PDATA"_s, {{u"PDATA"_s, m_dia}});
    auto total = [&](const QString &campo) {
        const QVariant v = r.value(campo);
        return u"R$ "_s + db::formatNumber(db::Decimal::fromVariant(v.isValid() ? v : QVariant(0), 2),
                                           u"#,##0.00"_s);
    };
    lb_totcredito->setText(total(u"TOTCREDITO"_s));
    lb_totdebito->setText(total(u"TOTDEBITO"_s));
}

void FrmCadCaixaGeral::atualizaDias()
{
    Tb_saldocaixa->close();
    Tb_saldocaixa->open();
    Tb_saldocaixa->locate(u"DTSALDO"_s, m_dia);
    mostraTotais();
}

// ---------------------------------------------------------------------------
// typing entries

bool FrmCadCaixaGeral::linhaEmBranco(db::Dataset *lista) const
{
    return lista->isActive() && lista->state() == db::Dataset::State::Insert && lista->isNull(u"CD_CONTA"_s)
           && lista->text(kDescricao).trimmed().isEmpty() && lista->isNull(kValor);
}

void FrmCadCaixaGeral::grava(db::Dataset *lista)
{
    if (app::GradeDados *g = gradeDe(lista))
        g->confirmaEdicao();
    if (!lista->isActive() || !lista->isEditing())
        return;
    if (semValor(lista)) {
        lista->cancel();
        return;
    }
    {
        m_gravando = lista;
        auto fim = qScopeGuard([this] { m_gravando = nullptr; });
        lista->post();
    }
    depoisDeGravar(lista);
}

void FrmCadCaixaGeral::depoisDeGravar(db::Dataset *lista)
{
    if (!lista->isActive() || lista->isEditing())
        return;
    // a refusal shows the shared warning and withdraws the list's pending
    // entries; either way the list shows the database again
    app::AplicaAlteracoes(*lista);
    lista->refresh();
    atualizaDias();
}

void FrmCadCaixaGeral::concluiLinha(db::Dataset *lista)
{
    if (app::GradeDados *g = gradeDe(lista))
        g->confirmaEdicao();
    if (linhaEmBranco(lista))
        lista->cancel();
    else
        grava(lista);
}

void FrmCadCaixaGeral::novoLancamento(db::Dataset *lista)
{
    concluiLinha(lista);
    if (lista->isEditing())
        return; // kept by its checks
    lista->first();
    lista->insert();
    app::GradeDados *g = gradeDe(lista);
    g->setFocus();
    g->vaiParaColuna(kConta);
}

void FrmCadCaixaGeral::fimDoLancamento(db::Dataset *lista)
{
    app::GradeDados *g = gradeDe(lista);
    g->confirmaEdicao();
    const bool completo = !lista->isEmpty() && !lista->text(kDescricao).trimmed().isEmpty() && !lista->isNull(kValor);
    if (!completo) {
        g->vaiParaColuna(kConta);
        return;
    }
    novoLancamento(lista);
}

void FrmCadCaixaGeral::escolheConta(db::Dataset *lista)
{
    auto *escolha = new FrmEscolheConta(Tb_conta, lista, this);
    escolha->exec();
    // back to the list (the window may not be active again yet)
    window()->activateWindow();
    gradeDe(lista)->setFocus();
}

bool FrmCadCaixaGeral::teclaNaLista(app::GradeDados *grade, db::Dataset *lista, QKeyEvent *evento)
{
    if (!lista->isActive())
        return false;
    const int tecla = evento->key();
    const bool vazia = lista->isEmpty();
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (vazia)
            novoLancamento(lista);
        else if (grade->campoAtual() == kValor)
            fimDoLancamento(lista);
        else
            grade->proximaColuna();
        return true;
    case Qt::Key_Insert:
        novoLancamento(lista);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!lista->isEditing() && !grade->indexWidget(grade->currentIndex()))
            return false;
        // the row being typed is recorded before the cursor leaves it; the
        // key then goes to the grid itself (the cell it was meant for is
        // gone)
        concluiLinha(lista);
        if (!lista->isEditing()) {
            QKeyEvent copia(evento->type(), tecla, evento->modifiers(), evento->text());
            QApplication::sendEvent(grade, &copia);
        }
        return true;
    default:
        break;
    }
    const QString texto = evento->text();
    const bool imprimivel = !texto.isEmpty() && texto.at(0).isPrint();
    if (imprimivel && (vazia || grade->campoAtual() == kConta)) {
        if (vazia)
            novoLancamento(lista);
        // the account is chosen, not typed: a blank opens the chooser
        if (tecla == Qt::Key_Space)
            escolheConta(lista);
        return true;
    }
    return false;
}

bool FrmCadCaixaGeral::FormKeyDown(QKeyEvent *evento)
{
    for (app::GradeDados *g : {Grid_Credito, Grid_Debito}) {
        if (!g->parentWidget()->isEnabled() || !g->temFoco())
            continue;
        // A key whose handling stopped half-way (a refusal, an error) was
        // taken all the same: the cell it was sent to may be gone by now.
        bool tratada = true;
        app::protege([&] { tratada = teclaNaLista(g, g->dataset(), evento); });
        return tratada;
    }
    return app::Janela::FormKeyDown(evento);
}

bool FrmCadCaixaGeral::eventFilter(QObject *objeto, QEvent *evento)
{
    // a click on another row records the row being typed first
    if (evento->type() == QEvent::MouseButtonPress || evento->type() == QEvent::MouseButtonDblClick) {
        for (app::GradeDados *g : {Grid_Credito, Grid_Debito}) {
            if (objeto != g->viewport())
                continue;
            db::Dataset *lista = g->dataset();
            const QModelIndex onde = g->indexAt(static_cast<QMouseEvent *>(evento)->position().toPoint());
            if (lista && lista->isEditing() && onde.isValid() && onde.row() != lista->recNo())
                app::protege([&] { concluiLinha(lista); });
        }
    }
    return app::Janela::eventFilter(objeto, evento);
}

void FrmCadCaixaGeral::perguntaSalvar(db::Dataset *lista)
{
    if (app::GradeDados *g = gradeDe(lista))
        g->confirmaEdicao();
    if (!lista->isActive() || !lista->isEditing())
        return;
    if (linhaEmBranco(lista)) {
        lista->cancel();
        return;
    }
    if (app::msg::pergunta(u" Salva Ultimas Alterações ?"_s, QMessageBox::Information)) {
        grava(lista);
    } else {
        lista->cancel();
        gradeDe(lista)->setFocus();
    }
}

void FrmCadCaixaGeral::saiuDaLista(app::GradeDados *grade)
{
    if (m_fechando || grade->temFoco())
        return;
    perguntaSalvar(grade->dataset());
}

bool FrmCadCaixaGeral::perguntaCancelar()
{
    bool editando = false;
    for (db::Dataset *lista : {Tb_credito, Tb_debito}) {
        gradeDe(lista)->confirmaEdicao();
        if (linhaEmBranco(lista))
            lista->cancel();
        editando = editando || lista->isEditing();
    }
    if (!editando)
        return true;
    if (!app::msg::pergunta(app::FormCadastro::perguntaCancelamento(), QMessageBox::Information))
        return false;
    Tb_credito->cancel();
    Tb_debito->cancel();
    return true;
}

// ---------------------------------------------------------------------------
// deleting

void FrmCadCaixaGeral::apaga(db::Dataset *lista, const QString &vazio)
{
    gradeDe(lista)->confirmaEdicao();
    if (linhaEmBranco(lista))
        lista->cancel();
    if (!lista->isActive() || lista->isEmpty()) {
        app::msg::erro(vazio);
        return;
    }
    if (!app::msg::confirma(u"Deseja realmente deletar o registro ???"_s)) {
        lista->cancel();
        return;
    }
    lista->remove(); // a new row not yet recorded is only dropped
    app::AplicaAlteracoes(*lista);
    lista->refresh();
    atualizaDias();
}

void FrmCadCaixaGeral::Deletar_CreditoClick()
{
    apaga(Tb_credito, u"O Banco de Dados está vazio!!! "_s);
}

void FrmCadCaixaGeral::Deletar_DebitoClick()
{
    apaga(Tb_debito, u"O Banco de Dados está vazio! "_s);
}

// ---------------------------------------------------------------------------
// tabs, recent days, closing

void FrmCadCaixaGeral::Grid_SaldoDblClick()
{
    if (!Tb_saldocaixa->isActive() || Tb_saldocaixa->isEmpty())
        return;
    const QDate d = Tb_saldocaixa->value(u"DTSALDO"_s).toDate();
    mostraAba(TabSheet_Manutencao);
    mostraDia(d);
}

bool FrmCadCaixaGeral::PageControlChanging(int deAba, int)
{
    QWidget *saindo = PageControl->widget(deAba);
    if (saindo == TabSheet_Manutencao)
        return perguntaCancelar();
    if (saindo == TabSheet_Saldo && Tb_saldocaixa->isActive() && !Tb_saldocaixa->isEmpty())
        mostraDia(Tb_saldocaixa->value(u"DTSALDO"_s).toDate());
    return true;
}

void FrmCadCaixaGeral::SairClick()
{
    close();
}

bool FrmCadCaixaGeral::FormClose()
{
    if (!perguntaCancelar())
        return false;
    m_fechando = true;
    disconnect(m_foco);
    Tb_credito->close();
    Tb_debito->close();
    return true;
}

// ---------------------------------------------------------------------------
// printing the day

void FrmCadCaixaGeral::ImprimirClick()
{
    const DiaDoCaixa d = leDiaDoCaixa(*Tb_saldocaixa->connection(), m_dia);
    if (d.lancamentos.isEmpty()) {
        app::msg::informacao(Tb_saldocaixa->isEmpty() ? u"Não é possivel Imprimir Verifique os dados Selecionados !!"_s
                                                      : u"Não Existe dados para serem impressos !!"_s);
        return;
    }
    reports::PageReport relatorio;
    montaRelatorioDiario(relatorio, d, app::principal()->razaoSocial());
    reports::preview(relatorio, this);
}

} // namespace caixa
