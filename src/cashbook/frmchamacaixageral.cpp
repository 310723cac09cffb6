#include "cashbook/frmchamacaixageral.h"

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "app/mensagens.h"
#include "cashbook/frmcadcaixageral.h"
#include "db/dataset.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace caixa {

namespace {
app::RegistroJanela<FrmChamacaixaGeral> registro(u"Movimento_Caixa"_s);
}

FrmChamacaixaGeral::FrmChamacaixaGeral(QWidget *pai) : app::Janela(pai)
{
    setObjectName(u"FrmChamacaixaGeral"_s);
    setWindowTitle(u"Caixa Geral"_s);
    setMaximizada(false);
    resize(560, 440);

    Tb_saldocaixa = new db::Dataset(
        app::principal()->DB_Corvena,
        u"select * from SALDOCAIXA where DTSALDO >= :PDATA ORDER BY DTSALDO DESCENDING"_s, this);
    Tb_saldocaixa->setObjectName(u"Tb_saldocaixa"_s);
    Tb_saldocaixa->setParam(u"PDATA"_s, QDate::currentDate().addDays(-40));
    Tb_saldocaixa->model()->setColumns(
        {{u"DTSALDO"_s, u"Data"_s, 12},
         db::DatasetModel::Column::formatted(u"TOTCREDITO"_s, u"Total Crédito"_s, u"#,##0.00"_s),
         db::DatasetModel::Column::formatted(u"TOTDEBITO"_s, u"Total Débito"_s, u"#,##0.00"_s),
         db::DatasetModel::Column::formatted(u"SALDOATUAL"_s, u"Saldo Atual"_s, u"#,##0.00"_s)});

    auto *v = new QVBoxLayout(this);
    Label_Titulo = new QLabel(u"Caixa Geral"_s, this);
    Label_Titulo->setObjectName(u"Label_Titulo"_s);
    Label_Titulo->setAlignment(Qt::AlignCenter);
    QFont f = Label_Titulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.5);
    Label_Titulo->setFont(f);
    v->addWidget(Label_Titulo);

    Grid_Caixas = new app::GradeDados(this);
    Grid_Caixas->setObjectName(u"Grid_Caixas"_s);
    Grid_Caixas->setDataset(Tb_saldocaixa);
    Alterar_Este_Caixa = new QAction(u"Alterar Este Caixa"_s, Grid_Caixas);
    Alterar_Este_Caixa->setObjectName(u"Alterar_Este_Caixa"_s);
    Grid_Caixas->addAction(Alterar_Este_Caixa);
    Grid_Caixas->setContextMenuPolicy(Qt::ActionsContextMenu);
    v->addWidget(Grid_Caixas, 1);

    auto *novo = new QHBoxLayout;
    auto *rotulo = new QLabel(u"Data Novo Caixa"_s, this);
    EDIT_DATA = new app::EditData(this);
    EDIT_DATA->setObjectName(u"EDIT_DATA"_s);
    EDIT_DATA->setMaximumWidth(140);
    rotulo->setBuddy(EDIT_DATA);
    bt_criar = new QPushButton(u"Criar Novo Caixa"_s, this);
    bt_criar->setObjectName(u"bt_criar"_s);
    novo->addWidget(rotulo);
    novo->addWidget(EDIT_DATA);
    novo->addWidget(bt_criar);
    novo->addStretch();
    v->addLayout(novo);

    app::conecta(bt_criar, &QPushButton::clicked, this, [this] { bt_criarClick(); });
    app::conecta(Alterar_Este_Caixa, &QAction::triggered, this, [this] { Alterar_Este_CaixaClick(); });
    auto segueLista = [this] {
        Alterar_Este_Caixa->setEnabled(Tb_saldocaixa->isActive() && !Tb_saldocaixa->isEmpty());
    };
    connect(Tb_saldocaixa, &db::Dataset::opened, this, segueLista);
    connect(Tb_saldocaixa, &db::Dataset::closed, this, segueLista);
    connect(Tb_saldocaixa, &db::Dataset::rowsChanged, this, segueLista);

    // FormCreate: the days on their first row
    Tb_saldocaixa->open();
    Tb_saldocaixa->first();
    segueLista();
}

void FrmChamacaixaGeral::showEvent(QShowEvent *evento)
{
    app::Janela::showEvent(evento);
    if (m_centrada)
        return;
    m_centrada = true;
    // a small tool window in the middle of the main window's area
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (sub && sub->mdiArea()) {
        const QRect area = sub->mdiArea()->viewport()->rect();
        sub->move(area.center() - QPoint(sub->width() / 2, sub->height() / 2));
    }
}

void FrmChamacaixaGeral::abreCaixa(const QDate &dia)
{
    app::DataCaixaGeral = dia;
    if (FrmCadCaixaGeral *caixa = app::janela<FrmCadCaixaGeral>()) {
        // the open cash book shows the chosen day, not the one it had
        app::trazParaFrente(caixa);
        caixa->mostraDia(dia);
    } else {
        app::abreJanela<FrmCadCaixaGeral>();
    }
    close();
}

void FrmChamacaixaGeral::bt_criarClick()
{
    const QDate dia = EDIT_DATA->data();
    if (!dia.isValid()) {
        app::msg::informacao(u"Digite Uma Data antes de Criar um novo caixa "_s);
        EDIT_DATA->setFocus();
        return;
    }
    // no row is written: the day gets its row with its first entry
    abreCaixa(dia);
}

void FrmChamacaixaGeral::Alterar_Este_CaixaClick()
{
    if (!Tb_saldocaixa->isActive() || Tb_saldocaixa->isEmpty())
        return;
    abreCaixa(Tb_saldocaixa->value(u"DTSALDO"_s).toDate());
}

} // namespace caixa
