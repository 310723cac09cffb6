#include "app/frmcadconfiguracao.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace app {

namespace {
RegistroJanela<FrmCadconfiguracao> registro(u"Preco_de_Leite"_s);
} // namespace

FrmCadconfiguracao::FrmCadconfiguracao(QWidget *pai) : Janela(pai)
{
    setObjectName(u"FrmCadconfiguracao"_s);
    setWindowTitle(u"Configurações Gerais"_s);
    setMaximizada(false);

    db::Connection *conexao = principal()->DB_Corvena;
    TB_CONFIGURACAO = new db::Dataset(conexao, u"SELECT * FROM CONFIGURACAO"_s, this);
    TB_CONFIGURACAO->setObjectName(u"TB_CONFIGURACAO"_s);
    TB_PRODUTO = new db::Dataset(conexao, u"SELECT * FROM PRODUTO"_s, this);
    TB_PRODUTO->setObjectName(u"TB_PRODUTO"_s);
    TB_TIPO = new db::Dataset(conexao, u"SELECT * FROM TIPO_PRODUTOS_FABRICADOS"_s, this);
    TB_TIPO->setObjectName(u"TB_TIPO"_s);

    auto *principalLayout = new QVBoxLayout(this);

    auto *precos = new QGroupBox(u"Preço de Compra "_s, this);
    auto *fp = new QFormLayout(precos);
    EDIT_PRECO_LEITE = new EditDecimal(precos);
    EDIT_PRECO_LEITE->setObjectName(u"EDIT_PRECO_LEITE"_s);
    EDIT_PRECO_LEITE->setFixedWidth(110);
    fp->addRow(u"LEITE BOM"_s, EDIT_PRECO_LEITE);
    EDIT_PRECOLEITEACIDO = new EditDecimal(precos);
    EDIT_PRECOLEITEACIDO->setObjectName(u"EDIT_PRECOLEITEACIDO"_s);
    EDIT_PRECOLEITEACIDO->setFixedWidth(110);
    fp->addRow(u"LEITE ACIDO"_s, EDIT_PRECOLEITEACIDO);
    principalLayout->addWidget(precos);

    auto *codigos = new QFormLayout;
    auto escolha = [this, codigos](const QString &nome, const QString &rotulo) {
        auto *c = new CampoEscolha(this);
        c->setObjectName(nome);
        c->setFixedWidth(110);
        codigos->addRow(rotulo, c);
        return c;
    };
    LKP_CDMANTEIGAGR = escolha(u"LKP_CDMANTEIGAGR"_s, u"CODIGO MANTEIGA GRANEL"_s);
    LKP_CDCREME = escolha(u"LKP_CDCREME"_s, u"CODIGO CREME"_s);
    LKP_CDTIPOMANT = escolha(u"LKP_CDTIPOMANT"_s, u"CODIGO TIPO MANTEIGA"_s);
    principalLayout->addLayout(codigos);

    const QVector<CampoEscolha::Coluna> produtos = {{u"CD_PRODUTO"_s, u"CODIGO"_s}, {u"NOME"_s, u"NOME"_s}};
    LKP_CDMANTEIGAGR->setLista(TB_PRODUTO, u"CD_PRODUTO"_s, u"Escolha o produto referente a manteiga a granel"_s,
                               produtos);
    LKP_CDCREME->setLista(TB_PRODUTO, u"CD_PRODUTO"_s, u"Escolha o produto referente ao creme"_s, produtos);
    LKP_CDTIPOMANT->setLista(TB_TIPO, u"CD_TIPO_FABRICADOS"_s, u"Escolha o tipo referente ao tipo manteiga"_s,
                             {{u"CD_TIPO_FABRICADOS"_s, u"CODIGO"_s}, {u"NOME"_s, u"NOME"_s}});

    auto *botoes = new QHBoxLayout;
    botoes->addStretch(1);
    Bt_Salvar = new QPushButton(u"Salvar"_s, this);
    Bt_Salvar->setObjectName(u"Bt_Salvar"_s);
    Bt_Salvar->setFocusPolicy(Qt::NoFocus);
    Bt_Cancelar = new QPushButton(u"Cancelar"_s, this);
    Bt_Cancelar->setObjectName(u"Bt_Cancelar"_s);
    Bt_Cancelar->setFocusPolicy(Qt::NoFocus);
    botoes->addWidget(Bt_Salvar);
    botoes->addWidget(Bt_Cancelar);
    principalLayout->addLayout(botoes);

    liga(EDIT_PRECO_LEITE, TB_CONFIGURACAO, u"PRECO_LEITE"_s);
    liga(EDIT_PRECOLEITEACIDO, TB_CONFIGURACAO, u"PRECOLEITEACIDO"_s);
    liga(LKP_CDMANTEIGAGR, TB_CONFIGURACAO, u"CDMANTEIGAGR"_s);
    liga(LKP_CDCREME, TB_CONFIGURACAO, u"CDCREME"_s);
    liga(LKP_CDTIPOMANT, TB_CONFIGURACAO, u"CDTIPOMANT"_s);

    conecta(Bt_Salvar, &QPushButton::clicked, this, [this] { Bt_SalvarClick(); });
    conecta(Bt_Cancelar, &QPushButton::clicked, this, [this] { Bt_CancelarClick(); });

    FormCreate();

    // a small window in the middle of the main window's area
    QTimer::singleShot(0, this, [this] {
        auto *moldura = qobject_cast<QMdiSubWindow *>(parentWidget());
        if (!moldura || !moldura->parentWidget())
            return;
        moldura->adjustSize();
        const QRect area = moldura->parentWidget()->rect();
        moldura->move(area.center() - QPoint(moldura->width() / 2, moldura->height() / 2));
    });
}

void FrmCadconfiguracao::FormCreate()
{
    // the single row stays in editing until "Salvar" or "Cancelar"; on an
    // empty table this starts it
    TB_CONFIGURACAO->open();
    TB_CONFIGURACAO->first();
    TB_CONFIGURACAO->edit();
    TB_PRODUTO->open();
    TB_TIPO->open();
    // the window hands its focus to the good-milk price
    setFocusProxy(EDIT_PRECO_LEITE);
    EDIT_PRECO_LEITE->setFocus();
}

void FrmCadconfiguracao::Bt_SalvarClick()
{
    if (EDIT_PRECO_LEITE->text().trimmed().isEmpty()) {
        msg::informacao(u"Preecha Todos os Campos!"_s);
        return;
    }
    if (!TB_CONFIGURACAO->isEditing())
        TB_CONFIGURACAO->edit();
    TB_CONFIGURACAO->setValue(u"CD_CONFIGURACAO"_s, 1);
    TB_CONFIGURACAO->post();
    try {
        TB_CONFIGURACAO->connection()->transaction(
            [&](db::Transaction &tx) { TB_CONFIGURACAO->writeChanges(tx); });
    } catch (const db::Error &) {
        // Nothing was stored. The values typed stay in the window, still
        // being edited, so the user can try again or cancel.
        TB_CONFIGURACAO->edit();
        msg::aviso(textoRelacionamentos());
        return;
    }
    TB_CONFIGURACAO->mergeChangeLog();
    close();
}

void FrmCadconfiguracao::Bt_CancelarClick()
{
    TB_CONFIGURACAO->cancel();
    close();
}

bool FrmCadconfiguracao::FormClose()
{
    // unsaved edits are discarded, without a question
    if (TB_CONFIGURACAO->isActive())
        TB_CONFIGURACAO->cancelUpdates();
    TB_CONFIGURACAO->close();
    return true;
}

} // namespace app
