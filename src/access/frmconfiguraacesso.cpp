#include "access/frmconfiguraacesso.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace acesso {

namespace {

app::RegistroJanela<FrmConfiguraAcesso> registro(u"Configuracao_de_Acesso_Usuario"_s);

const QString kNenhumGrupo = QStringLiteral("Nenhum Grupo Selecionado");

} // namespace

QString FrmConfiguraAcesso::linhaDoItem(const QString &nome, int nivel)
{
    const int brancos = nivel == 2 ? 5 : (nivel >= 3 ? 10 : 0);
    return QString(brancos, u' ') + nome;
}

FrmConfiguraAcesso::FrmConfiguraAcesso(QWidget *pai) : app::Janela(pai)
{
    setObjectName(u"FrmConfiguraAcesso"_s);
    setWindowTitle(u"Configuração do Acesso aos Itens de Menu"_s);
    db::Connection *conexao = app::principal()->DB_Corvena;

    TB_Grupo = new db::Dataset(conexao, u"SELECT * FROM GRUPO ORDER BY DESCRICAO"_s, this);
    TB_Grupo->setObjectName(u"TB_Grupo"_s);
    TB_Acesso = new db::Dataset(conexao, u"SELECT * FROM CONFIGACESSO WHERE CDGRUPO = :CDGRUPO"_s, this);
    TB_Acesso->setObjectName(u"TB_Acesso"_s);
    TB_Acesso->setParam(u"CDGRUPO"_s, QVariant()); // no group yet

    auto *v = new QVBoxLayout(this);
    Panel_Itens = new QGroupBox(u" Configuração dos Items de Menu "_s, this);
    Panel_Itens->setObjectName(u"Panel_Itens"_s);
    auto *itens = new QVBoxLayout(Panel_Itens);
    CheckListBox1 = new QListWidget(Panel_Itens);
    CheckListBox1->setObjectName(u"CheckListBox1"_s);
    QFont fixa(u"Monospace"_s);
    fixa.setStyleHint(QFont::TypeWriter);
    CheckListBox1->setFont(fixa); // the indentation shows the levels
    itens->addWidget(CheckListBox1);
    v->addWidget(Panel_Itens, 1);

    auto *baixo = new QWidget(this);
    baixo->setObjectName(u"Panel_Grupo"_s);
    auto *h = new QHBoxLayout(baixo);
    L_Grupo = new QLabel(u"Selecione um Grupo de Usuários"_s, baixo);
    L_Grupo->setObjectName(u"L_Grupo"_s);
    h->addWidget(L_Grupo);
    wwDBLookupComboDlg1 = new app::CampoEscolha(baixo);
    wwDBLookupComboDlg1->setObjectName(u"wwDBLookupComboDlg1"_s);
    wwDBLookupComboDlg1->setLista(TB_Grupo, u"CDGRUPO"_s, u"Selecionar Grupo de Usuarios"_s,
                                  {{u"DESCRICAO"_s, u"NOME DO GRUPO"_s}, {u"CDGRUPO"_s, u"CÓDIGO"_s}});
    wwDBLookupComboDlg1->setMinimumWidth(120);
    h->addWidget(wwDBLookupComboDlg1);
    h->addStretch(1);
    B_Ok = new QPushButton(u"&Gravar"_s, baixo);
    B_Ok->setObjectName(u"B_Ok"_s);
    h->addWidget(B_Ok);
    B_Cancela = new QPushButton(u"&Sair"_s, baixo);
    B_Cancela->setObjectName(u"B_Cancela"_s);
    h->addWidget(B_Cancela);
    v->addWidget(baixo);

    app::conecta(wwDBLookupComboDlg1, &app::CampoEscolha::escolhido, this, [this] { wwDBLookupComboDlg1CloseUp(); });
    app::conecta(B_Ok, &QPushButton::clicked, this, [this] { B_OkClick(); });
    app::conecta(B_Cancela, &QPushButton::clicked, this, [this] { B_CancelaClick(); });

    FormActivate();
}

void FrmConfiguraAcesso::FormActivate()
{
    // Done once, when the window opens: emptying the list on every return
    // to the window would leave "&Gravar" recording a list that no longer
    // shows the chosen group.
    TB_Grupo->open();
    TB_Acesso->open();
    CheckListBox1->clear();
    CheckListBox1->addItem(kNenhumGrupo);
    B_Ok->setEnabled(false);
    wwDBLookupComboDlg1->setFocus();
}

bool FrmConfiguraAcesso::FormKeyDown(QKeyEvent *)
{
    return false; // no keys of its own
}

void FrmConfiguraAcesso::wwDBLookupComboDlg1CloseUp()
{
    const QVariant grupo = wwDBLookupComboDlg1->chave();
    if (!grupo.isValid() || grupo.isNull() || (m_grupo.isValid() && grupo.toString() == m_grupo.toString()))
        return; // the same choice
    m_grupo = grupo;
    B_Ok->setEnabled(true);
    TB_Acesso->close();
    TB_Acesso->setParam(u"CDGRUPO"_s, grupo);
    TB_Acesso->open();
    L_Grupo->setText(u"Grupo Selecionado : "_s + grupo.toString());
    preencheLista();
}

void FrmConfiguraAcesso::preencheLista()
{
    CheckListBox1->clear();
    for (const app::FrmPrincipal::Item &item : app::principal()->percorreMenu()) {
        auto *linha = new QListWidgetItem(linhaDoItem(item.nome, item.nivel), CheckListBox1);
        linha->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        const QVariant visivel = TB_Acesso->lookup(u"MENU"_s, item.nome, u"VISIVEL"_s);
        linha->setCheckState(visivel.toString() == u"S"_s ? Qt::Checked : Qt::Unchecked);
    }
}

void FrmConfiguraAcesso::B_OkClick()
{
    if (!m_grupo.isValid())
        return;
    if (TB_Acesso->isEmpty()) {
        app::msg::erro(u"O grupo "_s + m_grupo.toString() + u" não está cadastrado na tabela de Acesso !!!\n"_s
                       + u"Contacte O administrador!"_s);
        return;
    }
    const QVector<app::FrmPrincipal::Item> menu = app::principal()->percorreMenu();
    if (CheckListBox1->count() != menu.size())
        return; // the list does not show this menu: nothing to record
    // line n of the list is the n-th item of the walk
    for (int n = 0; n < menu.size(); ++n) {
        const QString visivel = CheckListBox1->item(n)->checkState() == Qt::Checked ? u"S"_s : u"N"_s;
        if (TB_Acesso->locate(u"MENU"_s, menu[n].nome)) {
            TB_Acesso->edit();
        } else {
            TB_Acesso->append();
            TB_Acesso->setValue(u"MENU"_s, menu[n].nome);
            TB_Acesso->setValue(u"CDGRUPO"_s, m_grupo);
        }
        TB_Acesso->setValue(u"VISIVEL"_s, visivel);
        TB_Acesso->post();
    }
    if (app::AplicaAlteracoes(*TB_Acesso))
        app::msg::informacao(u"Suas configurações foram salvas com sucesso !!!"_s);
}

void FrmConfiguraAcesso::B_CancelaClick()
{
    close();
}

bool FrmConfiguraAcesso::FormClose()
{
    TB_Acesso->close();
    TB_Grupo->close();
    return true;
}

} // namespace acesso
