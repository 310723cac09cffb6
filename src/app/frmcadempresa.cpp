#include "app/frmcadempresa.h"

#include "app/camposdb.h"
#include "app/frmprincipal.h"
#include "app/mensagens.h"
#include "app/rotinas.h"
#include "db/dataset.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace app {

namespace {
RegistroJanela<FrmCadEmpresa> registro(u"Cadastro_de_Empresa"_s);

QLabel *asterisco(QWidget *pai)
{
    auto *l = new QLabel(u"*"_s, pai);
    l->setStyleSheet(u"color: red; font-weight: bold;"_s);
    return l;
}
} // namespace

const QStringList &FrmCadEmpresa::estados()
{
    static const QStringList lista = {u"AC"_s, u"AL"_s, u"AM"_s, u"AP"_s, u"BA"_s, u"CE"_s, u"DF"_s,
                                      u"ES"_s, u"GO"_s, u"MA"_s, u"MG"_s, u"MS"_s, u"MT"_s, u"PA"_s,
                                      u"PB"_s, u"PE"_s, u"PI"_s, u"PR"_s, u"RJ"_s, u"RN"_s, u"RO"_s,
                                      u"RR"_s, u"RS"_s, u"SC"_s, u"SE"_s, u"SP"_s, u"TO"_s};
    return lista;
}

FrmCadEmpresa::FrmCadEmpresa(QWidget *pai) : FormCadastro(pai)
{
    setObjectName(u"FrmCadEmpresa"_s);
    setWindowTitle(u"Manutenção da Empresa"_s);

    tb_empresa = principal()->tb_empresa;
    opcoes.sqlMaximo = u"select max(CDEMPRESA) as MAXCD from EMPRESA"_s;
    opcoes.campoMaximo = u"MAXCD"_s;
    opcoes.campoChave = u"CDEMPRESA"_s;
    opcoes.vazioAlterar = u"O Banco de Dados está vazio !!!"_s;
    opcoes.guardaAbas = false;
    opcoes.semConsulta = true;
    opcoes.tabelaEmprestada = true;
    Q_MAX = new db::Dataset(principal()->DB_Corvena, opcoes.sqlMaximo, this);
    Q_MAX->setObjectName(u"Q_MAX"_s);

    TabSheet_Cadastro = TabSheet_Manutencao;
    TabSheet_Cadastro->setObjectName(u"TabSheet_Cadastro"_s);
    PageControl->setTabText(PageControl->indexOf(TabSheet_Cadastro), u"Cadastro  "_s);

    auto texto = [](QWidget *pai, const QString &nome) {
        auto *e = new EditTexto(pai);
        e->setObjectName(nome);
        return e;
    };
    auto rotulo = [](QGridLayout *g, int linha, const QString &t, QWidget *campo) {
        auto *l = new QLabel(t, campo->parentWidget());
        l->setBuddy(campo);
        g->addWidget(l, linha, 0, Qt::AlignRight | Qt::AlignVCenter);
        g->addWidget(campo, linha, 1, Qt::AlignLeft | Qt::AlignVCenter);
    };

    // in tab order: code, legal name, the company's registrations, the
    // address, then the logo
    QGridLayout *dados = layoutDados();
    Edit_CODIGOEMPRESA = texto(Painel_Dados, u"Edit_CODIGOEMPRESA"_s);
    Edit_CODIGOEMPRESA->setReadOnly(true);
    Edit_CODIGOEMPRESA->setFocusPolicy(Qt::NoFocus);
    Edit_CODIGOEMPRESA->setFixedWidth(90);
    rotulo(dados, 0, u"CÓDIGO"_s, Edit_CODIGOEMPRESA);
    EDIT_RAZAOSOCIAL = texto(Painel_Dados, u"EDIT_RAZAOSOCIAL"_s);
    EDIT_RAZAOSOCIAL->setMinimumWidth(360);
    rotulo(dados, 1, u"RAZÃO SOCIAL"_s, EDIT_RAZAOSOCIAL);
    dados->addWidget(asterisco(Painel_Dados), 1, 2, Qt::AlignLeft | Qt::AlignVCenter);

    auto *informacoes = new QGroupBox(u"INFORMAÇÕES DA EMPRESA"_s, Painel_Dados);
    auto *gi = new QGridLayout(informacoes);
    gi->setColumnStretch(3, 1);
    EDIT_CNPJ = texto(informacoes, u"EDIT_CNPJ"_s);
    EDIT_CNPJ->setFixedWidth(160);
    rotulo(gi, 0, u"CNPJ"_s, EDIT_CNPJ);
    gi->addWidget(asterisco(informacoes), 0, 2, Qt::AlignLeft | Qt::AlignVCenter);
    EDIT_INSCESTADUAL = texto(informacoes, u"EDIT_INSCESTADUAL"_s);
    EDIT_INSCESTADUAL->setFixedWidth(160);
    rotulo(gi, 1, u"INSCRIÇÃO ESTADUAL"_s, EDIT_INSCESTADUAL);
    dados->addWidget(informacoes, 2, 0, 1, 3);

    auto *endereco = new QGroupBox(u"ENDEREÇO"_s, Painel_Dados);
    auto *ge = new QGridLayout(endereco);
    ge->setColumnStretch(2, 1);
    EDIT_ENDERECO = texto(endereco, u"EDIT_ENDERECO"_s);
    EDIT_ENDERECO->setMinimumWidth(340);
    rotulo(ge, 0, u"LOGRADOURO"_s, EDIT_ENDERECO);
    EDIT_BAIRRO = texto(endereco, u"EDIT_BAIRRO"_s);
    EDIT_BAIRRO->setFixedWidth(180);
    rotulo(ge, 1, u"BAIRRO"_s, EDIT_BAIRRO);
    EDIT_CIDADE = texto(endereco, u"EDIT_CIDADE"_s);
    EDIT_CIDADE->setMinimumWidth(300);
    rotulo(ge, 2, u"CIDADE"_s, EDIT_CIDADE);
    EDIT_UF = new QComboBox(endereco);
    EDIT_UF->setObjectName(u"EDIT_UF"_s);
    EDIT_UF->setEditable(false);
    EDIT_UF->addItems(estados());
    EDIT_UF->setCurrentIndex(-1);
    rotulo(ge, 3, u"UF"_s, EDIT_UF);
    EDIT_CEP = texto(endereco, u"EDIT_CEP"_s);
    EDIT_CEP->setFixedWidth(110);
    rotulo(ge, 4, u"CEP"_s, EDIT_CEP);
    EDIT_TELEFONE = texto(endereco, u"EDIT_TELEFONE"_s);
    EDIT_TELEFONE->setFixedWidth(140);
    rotulo(ge, 5, u"TELEFONE"_s, EDIT_TELEFONE);
    dados->addWidget(endereco, 3, 0, 1, 3);

    auto *logo = new QVBoxLayout;
    Bt_BuscaImagem = new QPushButton(u"BUSCAR IMAGEM"_s, Painel_Dados);
    Bt_BuscaImagem->setObjectName(u"Bt_BuscaImagem"_s);
    DBImage1 = new QLabel(Painel_Dados);
    DBImage1->setObjectName(u"DBImage1"_s);
    DBImage1->setFixedSize(240, 180);
    DBImage1->setFrameShape(QFrame::Box);
    logo->addWidget(Bt_BuscaImagem);
    logo->addWidget(DBImage1);
    logo->addStretch(1);
    dados->addLayout(logo, 0, 4, 4, 1);
    dados->setColumnStretch(2, 0);
    dados->setColumnStretch(3, 1);

    auto *rodape = new QLabel(u"* CAMPOS OBRIGATÓRIOS"_s, TabSheet_Cadastro);
    rodape->setObjectName(u"Lb_Obrigatorios"_s);
    static_cast<QVBoxLayout *>(TabSheet_Cadastro->layout())->insertWidget(1, rodape);

    liga(Edit_CODIGOEMPRESA, tb_empresa, u"CDEMPRESA"_s);
    liga(EDIT_RAZAOSOCIAL, tb_empresa, u"RAZAOSOCIAL"_s);
    liga(EDIT_CNPJ, tb_empresa, u"CNPJ"_s);
    liga(EDIT_INSCESTADUAL, tb_empresa, u"INSCRICAOESTADUAL"_s);
    liga(EDIT_ENDERECO, tb_empresa, u"ENDERECO"_s);
    liga(EDIT_BAIRRO, tb_empresa, u"BAIRRO"_s);
    liga(EDIT_CIDADE, tb_empresa, u"CIDADE"_s);
    liga(EDIT_UF, tb_empresa, u"UF"_s);
    liga(EDIT_CEP, tb_empresa, u"CEP"_s);
    liga(EDIT_TELEFONE, tb_empresa, u"FONE"_s);
    ligaImagem(DBImage1, tb_empresa, u"FOTO"_s);

    escolheArquivo = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(), u"Bitmaps (*.bmp)"_s);
    };
    conecta(Bt_BuscaImagem, &QPushButton::clicked, this, [this] { Bt_BuscaImagemClick(); });

    primeiroCampo = EDIT_RAZAOSOCIAL;
    inicia(tb_empresa);
}

int FrmCadEmpresa::proximaChave()
{
    Q_MAX->close();
    Q_MAX->open();
    const QVariant maximo = Q_MAX->value(u"MAXCD"_s);
    return (maximo.isValid() && !maximo.isNull() ? maximo.toInt() : 0) + 1;
}

bool FrmCadEmpresa::validaGravacao()
{
    // the tax number first: complete, then its check digits; the name last
    const QString cnpj = EDIT_CNPJ->text();
    if (TemBranco(cnpj, static_cast<int>(cnpj.size())) || cnpj.size() < 14) {
        msg::aviso(u"Digite o CNPJ completo"_s);
        EDIT_CNPJ->setFocus();
        return false;
    }
    if (!ValidaCNPJ(cnpj)) {
        msg::erro(u"CNPJ INVÁLIDO"_s);
        EDIT_CNPJ->setFocus();
        return false;
    }
    if (EDIT_RAZAOSOCIAL->text().trimmed().isEmpty()) {
        principal()->AvisaCampos(u"Digite o nome da empresa!!!)"_s);
        return false;
    }
    return true;
}

void FrmCadEmpresa::Bt_BuscaImagemClick()
{
    // the logo goes into the row being inserted or altered: written when it
    // is recorded, dropped when it is cancelled
    if (!editando())
        return;
    const QString arquivo = escolheArquivo ? escolheArquivo() : QString();
    if (arquivo.isEmpty())
        return;
    QFile f(arquivo);
    if (!f.open(QIODevice::ReadOnly)) {
        mostraErro(u"Não foi possível abrir o arquivo %1"_s.arg(arquivo));
        return;
    }
    const QByteArray bytes = f.readAll();
    QImage imagem;
    if (bytes.isEmpty() || !imagem.loadFromData(bytes, "BMP")) {
        mostraErro(u"Imagem bitmap inválida: %1"_s.arg(arquivo));
        return;
    }
    // kept as read, so the picture stored reads back the same
    tb_empresa->setValue(u"FOTO"_s, bytes);
}

} // namespace app
