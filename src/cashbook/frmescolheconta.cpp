#include "cashbook/frmescolheconta.h"

#include "app/campos.h"
#include "app/camposdb.h"
#include "db/dataset.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace caixa {

FrmEscolheConta::FrmEscolheConta(db::Dataset *contas, db::Dataset *lancamento, QWidget *pai)
    : app::Dialogo(pai), m_contas(contas), m_lancamento(lancamento)
{
    setObjectName(u"FrmEscolheConta"_s);
    setWindowTitle(u"Escolha de Conta"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    resize(460, 400);

    auto *v = new QVBoxLayout(this);
    Label_Titulo = new QLabel(u"Escolha a Conta"_s, this);
    Label_Titulo->setObjectName(u"Label_Titulo"_s);
    QFont f = Label_Titulo->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    Label_Titulo->setFont(f);
    v->addWidget(Label_Titulo);

    auto *busca = new QHBoxLayout;
    auto *rotulo = new QLabel(u"Busca"_s, this);
    EDIT_BUSCA = new app::EditTexto(this);
    EDIT_BUSCA->setObjectName(u"EDIT_BUSCA"_s);
    rotulo->setBuddy(EDIT_BUSCA);
    busca->addWidget(rotulo);
    busca->addWidget(EDIT_BUSCA, 1);
    v->addLayout(busca);

    Grid_Contas = new app::GradeDados(this);
    Grid_Contas->setObjectName(u"Grid_Contas"_s);
    contas->model()->setColumns({{u"DESCRICAO"_s, u"CONTA"_s, 30}, {u"NUM_CONTA"_s, u"NUM CONTA"_s, 10}});
    Grid_Contas->setDataset(contas);
    v->addWidget(Grid_Contas, 1);

    auto *botoes = new QHBoxLayout;
    botoes->addStretch();
    Bt_OK = new QPushButton(u"&OK"_s, this);
    Bt_OK->setObjectName(u"Bt_OK"_s);
    Bt_Remover = new QPushButton(u"&Remover"_s, this);
    Bt_Remover->setObjectName(u"Bt_Remover"_s);
    Bt_Sair = new QPushButton(u"&Sair"_s, this);
    Bt_Sair->setObjectName(u"Bt_Sair"_s);
    for (QPushButton *b : {Bt_OK, Bt_Remover, Bt_Sair}) {
        b->setAutoDefault(false);
        botoes->addWidget(b);
    }
    v->addLayout(botoes);

    app::conecta(EDIT_BUSCA, &QLineEdit::textChanged, this, [this] { EDIT_BUSCAChange(); });
    app::conecta(Grid_Contas, &app::GradeDados::duploClique, this, [this] { Bt_OKClick(); });
    app::conecta(Bt_OK, &QPushButton::clicked, this, [this] { Bt_OKClick(); });
    app::conecta(Bt_Remover, &QPushButton::clicked, this, [this] { Bt_RemoverClick(); });
    app::conecta(Bt_Sair, &QPushButton::clicked, this, [this] { Bt_SairClick(); });

    if (!contas->isActive())
        contas->open();
    EDIT_BUSCA->setFocus();
}

void FrmEscolheConta::EDIT_BUSCAChange()
{
    const QString texto = EDIT_BUSCA->text();
    if (!texto.isEmpty() && m_contas->isActive())
        m_contas->locate(u"DESCRICAO"_s, texto, true, true);
}

void FrmEscolheConta::Bt_OKClick()
{
    if (m_contas->isActive() && !m_contas->isEmpty()) {
        const QVariant conta = m_contas->value(u"CD_CONTA"_s);
        m_lancamento->edit();
        m_lancamento->setValue(u"CD_CONTA"_s, conta);
    }
    accept();
}

void FrmEscolheConta::Bt_RemoverClick()
{
    m_lancamento->edit();
    m_lancamento->setValue(u"CD_CONTA"_s, QVariant());
    accept();
}

void FrmEscolheConta::Bt_SairClick()
{
    reject();
}

} // namespace caixa
