#include "production/frmescolheproduto.h"

#include "app/campos.h"
#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/globais.h"
#include "db/dataset.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace producao {

FrmEscolheProduto::FrmEscolheProduto(QWidget *pai) : app::Dialogo(pai)
{
    setObjectName(u"FrmEscolheProduto"_s);
    setWindowTitle(u"Escolha de Produto"_s);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    resize(560, 420);

    auto *v = new QVBoxLayout(this);
    Label_Titulo = new QLabel(u"Escolha o Produto"_s, this);
    Label_Titulo->setObjectName(u"Label_Titulo"_s);
    QFont fonte = Label_Titulo->font();
    fonte.setBold(true);
    fonte.setPointSize(fonte.pointSize() + 4);
    Label_Titulo->setFont(fonte);
    Label_Titulo->setAlignment(Qt::AlignCenter);
    v->addWidget(Label_Titulo);

    auto *busca = new QHBoxLayout;
    auto *rotulo = new QLabel(u"Busca"_s, this);
    Edit_Busca = new app::EditTexto(this);
    Edit_Busca->setObjectName(u"Edit_Busca"_s);
    rotulo->setBuddy(Edit_Busca);
    busca->addWidget(rotulo);
    busca->addWidget(Edit_Busca, 1);
    v->addLayout(busca);

    Q_Produto = new db::Dataset(app::principal()->DB_Corvena,
                                u"select CD_PRODUTO,UNIDADE,ESTOQUE_ATUAL,NOME FROM PRODUTO WHERE CD_TIPO_FABRICADOS = "
                                ":PCD_TIPO_FABRICADOS\n\nORDER BY NOME"_s,
                                this);
    Q_Produto->setObjectName(u"Q_Produto"_s);
    Q_Produto->model()->setColumns(
        {{u"NOME"_s, u"PRODUTO"_s, 30}, {u"UNIDADE"_s, u"UNIDADE"_s, 8}, {u"ESTOQUE_ATUAL"_s, u"ESTOQUE"_s, 12}});
    Grid_Produto = new app::GradeDados(this);
    Grid_Produto->setObjectName(u"Grid_Produto"_s);
    Grid_Produto->setDataset(Q_Produto);
    v->addWidget(Grid_Produto, 1);

    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    Bt_OK = new QPushButton(u"&OK"_s, this);
    Bt_OK->setObjectName(u"Bt_OK"_s);
    Bt_Sair = new QPushButton(u"&Sair"_s, this);
    Bt_Sair->setObjectName(u"Bt_Sair"_s);
    for (QPushButton *b : {Bt_OK, Bt_Sair}) {
        b->setAutoDefault(false);
        botoes->addWidget(b);
    }
    v->addLayout(botoes);

    app::conecta(Bt_OK, &QPushButton::clicked, this, [this] { OKClick(); });
    app::conecta(Bt_Sair, &QPushButton::clicked, this, [this] { SairClick(); });
    // moves to the first name that starts with the text; the list stays whole
    connect(Edit_Busca, &QLineEdit::textChanged, this, [this](const QString &texto) {
        if (!texto.isEmpty() && Q_Produto->isActive())
            app::protege([&] { Q_Produto->locate(u"NOME"_s, texto, true, true); });
    });

    // nothing chosen yet; with no type set the list is empty
    app::ProdutoEscolhido = 0;
    Q_Produto->setParam(u"PCD_TIPO_FABRICADOS"_s, QVariant());
    Q_Produto->open();
    Edit_Busca->setFocus();
}

FrmEscolheProduto::~FrmEscolheProduto() = default;

int FrmEscolheProduto::escolhe(int cdTipo, const QString &filtro, QWidget *pai)
{
    QPointer<FrmEscolheProduto> &ref = app::referencia<FrmEscolheProduto>();
    if (!ref)
        ref = new FrmEscolheProduto(pai);
    try {
        ref->prepara(cdTipo, filtro);
    } catch (...) {
        delete ref.data();
        app::ProdutoEscolhido = 0;
        throw;
    }
    ref->exec(); // frees the dialog
    if (ref)
        delete ref.data();
    return app::ProdutoEscolhido;
}

void FrmEscolheProduto::prepara(int cdTipo, const QString &filtro)
{
    Q_Produto->close();
    Q_Produto->setFiltered(false);
    Q_Produto->setParam(u"PCD_TIPO_FABRICADOS"_s, cdTipo);
    Q_Produto->open();
    if (!filtro.trimmed().isEmpty()) {
        Q_Produto->setFilterText(filtro);
        Q_Produto->setFiltered(true);
        Q_Produto->first();
    }
}

void FrmEscolheProduto::OKClick()
{
    app::ProdutoEscolhido =
        Q_Produto->isActive() && !Q_Produto->isEmpty() ? Q_Produto->value(u"CD_PRODUTO"_s).toInt() : 0;
    accept();
}

void FrmEscolheProduto::SairClick()
{
    app::ProdutoEscolhido = 0;
    reject();
}

void FrmEscolheProduto::reject()
{
    // Escape and the close box leave without a choice, as "Sair" does
    app::ProdutoEscolhido = 0;
    app::Dialogo::reject();
}

void FrmEscolheProduto::done(int resultado)
{
    Q_Produto->close();
    app::Dialogo::done(resultado);
}

bool FrmEscolheProduto::FormKeyDown(QKeyEvent *evento)
{
    if (evento->key() == Qt::Key_Escape) {
        SairClick();
        return true;
    }
    return app::Dialogo::FormKeyDown(evento);
}

void FrmEscolheProduto::showEvent(QShowEvent *evento)
{
    // centred on the desktop
    if (QScreen *tela = screen() ? screen() : QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
    app::Dialogo::showEvent(evento);
}

} // namespace producao
