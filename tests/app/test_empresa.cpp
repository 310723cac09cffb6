// The company window: one tab over the main window's company dataset, the
// tax number checks in their order, keys of new companies, the logo, and
// closing without taking the company away from the reports.

#include "app/campos.h"
#include "app/frmcadempresa.h"
#include "app/frmprincipal.h"
#include "app/rotinas.h"
#include "db/dataset.h"
#include "support/gui.h"
#include "support/testdb.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using app::FrmCadEmpresa;
using testsupport::Ambiente;
using testsupport::digita;
using testsupport::Mensagens;
using testsupport::tecla;

namespace {

const QString kCnpjValido = "11222333000181";

// Opens the window from the menu, with its fields filled from the company.
FrmCadEmpresa *abre(Ambiente &amb)
{
    amb.menu("Cadastro_de_Empresa");
    auto *w = app::janela<FrmCadEmpresa>();
    QCoreApplication::processEvents();
    return w;
}

// Writes a small bitmap and gives its path and bytes.
QPair<QString, QByteArray> bitmap(const QString &nome, QRgb cor)
{
    QImage img(9, 5, QImage::Format_RGB32);
    img.fill(cor);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    const QString caminho = testsupport::scratchDir() + "/" + nome;
    if (!img.save(caminho, "BMP"))
        qFatal("cannot write %s", qPrintable(caminho));
    QFile f(caminho);
    f.open(QIODevice::ReadOnly);
    return {caminho, f.readAll()};
}

QByteArray fotoNoBanco(Ambiente &amb, int empresa)
{
    return amb.outraConexao()
        ->execute("select FOTO from EMPRESA where CDEMPRESA = :CD", {{"CD", empresa}})
        .value("FOTO")
        .toByteArray();
}

} // namespace

class TestEmpresa : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneTabOverTheMainWindowsCompany();
    void cnpjChecksInOrder_data();
    void cnpjChecksInOrder();
    void keysOfNewCompaniesAndDeletion();
    void logoStoredByteEqualAndDroppedOnCancel();
    void closingWhileEditingAsksAndKeepsTheCompanyOpen();
};

void TestEmpresa::oneTabOverTheMainWindowsCompany()
{
    Ambiente amb;
    auto *w = abre(amb);
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("Manutenção da Empresa"));
    QCOMPARE(w->tb_empresa, amb.principal().tb_empresa);
    QCOMPARE(w->PageControl->count(), 1);
    QCOMPARE(w->PageControl->tabText(0), QString("Cadastro  "));
    QCOMPARE(w->PageControl->currentWidget()->objectName(), QString("TabSheet_Cadastro"));
    // no list, no small bar, no search box
    QVERIFY(!w->Grid_Consulta && !w->Adicionar && !w->Edit_consulta);
    QVERIFY(!w->findChild<QWidget *>("TabSheet_Consulta"));
    QVERIFY(!w->findChild<QWidget *>("DBNavigator_Triagem"));
    QVERIFY(!w->Painel_Dados->isEnabled());
    QVERIFY(!w->Bt_BuscaImagem->isEnabled());
    QCOMPARE(w->Bt_BuscaImagem->text(), QString("BUSCAR IMAGEM"));
    QCOMPARE(w->Q_MAX->sql(), QString("select max(CDEMPRESA) as MAXCD from EMPRESA"));
    QCOMPARE(w->findChild<QLabel *>("Lb_Obrigatorios")->text(), QString("* CAMPOS OBRIGATÓRIOS"));

    // the ten buttons, browsing
    QStringList nomes, ligados;
    for (QPushButton *b : w->wwDBNavigator1->findChildren<QPushButton *>()) {
        nomes << b->objectName();
        if (b->isEnabled())
            ligados << b->objectName();
    }
    QCOMPARE(nomes, QStringList({"Inserir", "Alterar", "Deletar", "Gravar", "Cancelar", "Primeiro", "Anterior",
                                 "Proximo", "Ultimo", "Sair"}));
    QCOMPARE(ligados, QStringList({"Inserir", "Alterar", "Deletar", "Sair"}));

    // the company's row, as the demo database has it
    QCOMPARE(w->Edit_CODIGOEMPRESA->text(), QString("1"));
    QCOMPARE(w->EDIT_RAZAOSOCIAL->text(), QString("LATICINIOS ZUZORO DA REVUZOVOD LTDA"));
    QCOMPARE(w->EDIT_CNPJ->text(), kCnpjValido);
    QCOMPARE(w->EDIT_CNPJ->maxLength(), 14);
    QCOMPARE(w->EDIT_RAZAOSOCIAL->maxLength(), 35);
    QCOMPARE(w->EDIT_TELEFONE->text(), QString("3534219900"));

    // the states, in this order, chosen from the list only
    QStringList ufs;
    for (int i = 0; i < w->EDIT_UF->count(); ++i)
        ufs << w->EDIT_UF->itemText(i);
    QCOMPARE(ufs, QStringList({"AC", "AL", "AM", "AP", "BA", "CE", "DF", "ES", "GO", "MA", "MG", "MS", "MT", "PA",
                               "PB", "PE", "PI", "PR", "RJ", "RN", "RO", "RR", "RS", "SC", "SE", "SP", "TO"}));
    QVERIFY(!w->EDIT_UF->isEditable());
    QCOMPARE(w->EDIT_UF->currentText(), QString("MG"));

    // alter by keys: the legal name takes the focus; Enter walks the fields
    tecla(w, Qt::Key_F5);
    QVERIFY(w->Painel_Dados->isEnabled());
    QVERIFY(w->EDIT_RAZAOSOCIAL->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_CNPJ->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_INSCESTADUAL->hasFocus());
    tecla(w, Qt::Key_Return);
    QVERIFY(w->EDIT_ENDERECO->hasFocus());
    w->EDIT_UF->setCurrentIndex(w->EDIT_UF->findText("SP"));
    emit w->EDIT_UF->activated(w->EDIT_UF->currentIndex());
    w->EDIT_CIDADE->selectAll();
    digita(w->EDIT_CIDADE, "são joão");
    tecla(w, Qt::Key_F7);
    QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Browse);
    QVERIFY(!w->Painel_Dados->isEnabled());
    auto r = amb.conexao().execute("select CIDADE, UF from EMPRESA where CDEMPRESA = 1");
    QCOMPARE(r.value("CIDADE").toString(), QString("SÃO JOÃO"));
    QCOMPARE(r.value("UF").toString(), QString("SP"));
}

void TestEmpresa::cnpjChecksInOrder_data()
{
    QTest::addColumn<QString>("cnpj");
    QTest::addColumn<QString>("razao");
    QTest::addColumn<QString>("mensagem"); // empty: recorded
    QTest::addColumn<int>("icone");
    QTest::addColumn<bool>("focoNoCnpj");

    const QString completo = "Digite o CNPJ completo";
    const int aviso = QMessageBox::Warning, erro = QMessageBox::Critical, info = QMessageBox::Information;
    QTest::newRow("13 digits") << "1122233300018" << "NOVA" << completo << aviso << true;
    QTest::newRow("14 with a blank") << "1122233 000181" << "NOVA" << completo << aviso << true;
    QTest::newRow("14 ending in a blank") << "1122233300018 " << "NOVA" << completo << aviso << true;
    QTest::newRow("wrong check digit") << "11222333000182" << "NOVA" << "CNPJ INVÁLIDO" << erro << true;
    QTest::newRow("punctuation") << "11.222.333/000" << "NOVA" << "CNPJ INVÁLIDO" << erro << true;
    QTest::newRow("neither: the CNPJ first") << "" << "" << completo << aviso << true;
    QTest::newRow("wrong and no name: the CNPJ first") << "11222333000182" << "" << "CNPJ INVÁLIDO" << erro << true;
    QTest::newRow("valid, no name") << kCnpjValido << "" << "Peencha os campos! (Digite o nome da empresa!!!))"
                                    << info << false;
    QTest::newRow("valid with name") << kCnpjValido << "nova empresa" << QString() << 0 << false;
}

void TestEmpresa::cnpjChecksInOrder()
{
    QFETCH(QString, cnpj);
    QFETCH(QString, razao);
    QFETCH(QString, mensagem);
    QFETCH(int, icone);
    QFETCH(bool, focoNoCnpj);

    Ambiente amb;
    auto *w = abre(amb);
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->Edit_CODIGOEMPRESA->text(), QString("2"));
    digita(w->EDIT_RAZAOSOCIAL, razao);
    digita(w->EDIT_CNPJ, cnpj);
    QCOMPARE(w->EDIT_CNPJ->text(), cnpj);
    w->EDIT_CIDADE->setFocus();
    Mensagens m;
    tecla(w, Qt::Key_F7);
    if (mensagem.isEmpty()) {
        QCOMPARE(m.quantas(), 0);
        QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Browse);
        auto r = amb.conexao().execute("select RAZAOSOCIAL, CNPJ from EMPRESA where CDEMPRESA = 2");
        QCOMPARE(r.value("RAZAOSOCIAL").toString(), QString("NOVA EMPRESA"));
        QCOMPARE(r.value("CNPJ").toString(), kCnpjValido);
        return;
    }
    QCOMPARE(m.textos(), QStringList({mensagem}));
    QCOMPARE(int(m.vistas()[0].icone), icone);
    QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Insert);
    QVERIFY(w->Gravar->isEnabled());
    if (focoNoCnpj)
        QTRY_VERIFY(w->EDIT_CNPJ->hasFocus());
    else
        QTRY_VERIFY(w->EDIT_CIDADE->hasFocus()); // the name notice leaves the focus alone
    QCOMPARE(amb.conexao().execute("select count(*) as N from EMPRESA").value("N").toInt(), 1);
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->tb_empresa->recordCount(), 1);
}

void TestEmpresa::keysOfNewCompaniesAndDeletion()
{
    Ambiente amb(false); // no company yet
    auto *w = abre(amb);
    {
        Mensagens m;
        tecla(w, Qt::Key_F5);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({"O Banco de Dados está vazio !!!", "O Banco de Dados está vazio !!!"}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
        QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Browse);
    }
    auto novaEmpresa = [&](const QString &nome) {
        tecla(w, Qt::Key_F4);
        QVERIFY(w->EDIT_RAZAOSOCIAL->hasFocus());
        digita(w->EDIT_RAZAOSOCIAL, nome);
        digita(w->EDIT_CNPJ, kCnpjValido);
        tecla(w, Qt::Key_F7);
        QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Browse);
    };
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->Edit_CODIGOEMPRESA->text(), QString("1")); // empty table
    tecla(w, Qt::Key_F8);
    novaEmpresa("primeira");
    // the key comes from the database, not from the rows in memory
    amb.outraConexao()->execute("insert into EMPRESA (CDEMPRESA, RAZAOSOCIAL) values (5, 'DE OUTRO POSTO')");
    tecla(w, Qt::Key_F4);
    QCOMPARE(w->Edit_CODIGOEMPRESA->text(), QString("6"));
    tecla(w, Qt::Key_F8);
    novaEmpresa("segunda");
    QCOMPARE(w->Edit_CODIGOEMPRESA->text(), QString("6"));
    auto r = amb.conexao().execute("select CDEMPRESA, RAZAOSOCIAL from EMPRESA order by CDEMPRESA");
    QCOMPARE(r.rowCount(), 3);
    QCOMPARE(r.row(2)[1].toString(), QString("SEGUNDA"));
    // the reports head with the current row of the company dataset
    QCOMPARE(amb.principal().razaoSocial(), QString("SEGUNDA"));
    QVERIFY(w->Primeiro->isEnabled() && w->Anterior->isEnabled() && !w->Proximo->isEnabled());
    w->Primeiro->click();
    QCOMPARE(w->EDIT_RAZAOSOCIAL->text(), QString("PRIMEIRA"));
    QCOMPARE(amb.principal().razaoSocial(), QString("PRIMEIRA"));

    // delete: the question, No keeps, Yes deletes at once
    const QString pergunta = "Deseja realmente deletar o registro ???";
    {
        Mensagens m;
        m.responde(QMessageBox::No);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({pergunta}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Question);
    }
    QCOMPARE(w->tb_empresa->recordCount(), 2);
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        tecla(w, Qt::Key_F6);
        QCOMPARE(m.textos(), QStringList({pergunta}));
    }
    QCOMPARE(w->tb_empresa->recordCount(), 1);
    QCOMPARE(amb.conexao().execute("select count(*) as N from EMPRESA where CDEMPRESA = 1").value("N").toInt(), 0);
    QCOMPARE(amb.principal().razaoSocial(), QString("SEGUNDA"));
}

void TestEmpresa::logoStoredByteEqualAndDroppedOnCancel()
{
    Ambiente amb;
    auto *w = abre(amb);
    const auto [arquivo1, bytes1] = bitmap("logo1.bmp", qRgb(200, 30, 40));
    const auto [arquivo2, bytes2] = bitmap("logo2.bmp", qRgb(10, 180, 90));
    QVERIFY(bytes1 != bytes2);
    QString escolhido;
    int perguntas = 0;
    w->escolheArquivo = [&] {
        ++perguntas;
        return escolhido;
    };

    // only while inserting or altering
    w->Bt_BuscaImagem->click();
    w->Bt_BuscaImagemClick();
    QCOMPARE(perguntas, 0);

    tecla(w, Qt::Key_F5);
    QVERIFY(w->Bt_BuscaImagem->isEnabled());
    escolhido.clear(); // the user gives up
    w->Bt_BuscaImagem->click();
    QCOMPARE(perguntas, 1);
    QVERIFY(w->tb_empresa->isNull("FOTO"));
    escolhido = arquivo1;
    w->Bt_BuscaImagem->click();
    QVERIFY(!w->DBImage1->pixmap().isNull());
    QCOMPARE(w->DBImage1->pixmap().size(), QSize(9, 5));
    QVERIFY(fotoNoBanco(amb, 1).isEmpty()); // not before recording
    tecla(w, Qt::Key_F7);
    QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Browse);
    QCOMPARE(fotoNoBanco(amb, 1), bytes1);
    QCOMPARE(w->tb_empresa->value("FOTO").toByteArray(), bytes1);

    // another picture, then cancel: FOTO as it was
    tecla(w, Qt::Key_F5);
    escolhido = arquivo2;
    w->Bt_BuscaImagem->click();
    QCOMPARE(w->tb_empresa->value("FOTO").toByteArray(), bytes2);
    tecla(w, Qt::Key_F8);
    QCOMPARE(w->tb_empresa->value("FOTO").toByteArray(), bytes1);
    QCOMPARE(w->DBImage1->property("bytes").toByteArray(), bytes1);
    QCOMPARE(fotoNoBanco(amb, 1), bytes1);

    // a file that is no bitmap: the error dialog, the row stays in editing
    const QString texto = testsupport::scratchDir() + "/nao_e_imagem.bmp";
    {
        QFile f(texto);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("isto nao e um bitmap");
    }
    tecla(w, Qt::Key_F5);
    escolhido = texto;
    Mensagens m;
    w->Bt_BuscaImagem->click();
    QCOMPARE(m.quantas(), 1);
    QCOMPARE(m.vistas()[0].icone, QMessageBox::Critical);
    QVERIFY(m.ultimo().startsWith("Imagem bitmap inválida"));
    QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Edit);
    QCOMPARE(w->tb_empresa->value("FOTO").toByteArray(), bytes1);
    tecla(w, Qt::Key_F7);
    QCOMPARE(fotoNoBanco(amb, 1), bytes1);
}

void TestEmpresa::closingWhileEditingAsksAndKeepsTheCompanyOpen()
{
    Ambiente amb;
    auto *w = abre(amb);
    tecla(w, Qt::Key_F5);
    w->EDIT_RAZAOSOCIAL->selectAll();
    digita(w->EDIT_RAZAOSOCIAL, "outro nome");
    const QString pergunta = "Os dados estão sendo alterados no momento !\nDeseja realmente cancelar as alterações feitas ?";
    {
        Mensagens m;
        m.responde(QMessageBox::No);
        QVERIFY(!w->close());
        QCOMPARE(m.textos(), QStringList({pergunta}));
        QCOMPARE(m.vistas()[0].icone, QMessageBox::Information);
        QVERIFY(app::janela<FrmCadEmpresa>());
        QCOMPARE(w->tb_empresa->state(), db::Dataset::State::Edit);
    }
    {
        Mensagens m;
        m.responde(QMessageBox::Yes);
        w->Sair->click();
        QCOMPARE(m.textos(), QStringList({pergunta}));
    }
    QTRY_VERIFY(!app::janela<FrmCadEmpresa>());
    // the company stays open for the reports, as the database holds it
    db::Dataset *empresa = amb.principal().tb_empresa;
    QVERIFY(empresa->isActive());
    QCOMPARE(empresa->state(), db::Dataset::State::Browse);
    QCOMPARE(empresa->changeCount(), 0);
    QCOMPARE(amb.principal().razaoSocial(), QString("LATICINIOS ZUZORO DA REVUZOVOD LTDA"));
    // and the window opens again over it
    auto *w2 = abre(amb);
    QVERIFY(w2);
    QCOMPARE(w2->EDIT_RAZAOSOCIAL->text(), QString("LATICINIOS ZUZORO DA REVUZOVOD LTDA"));
}

QTEST_MAIN(TestEmpresa)
#include "test_empresa.moc"
