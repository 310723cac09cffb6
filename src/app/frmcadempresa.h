#pragma once

#include "app/formcadastro.h"

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace db {
class Dataset;
}

namespace app {

class EditTexto;

// The operating company: legal name, tax registrations, address and logo.
// It edits the main window's company dataset itself (the one the report
// headings read), so it has no list and no dataset of its own, and closing
// it leaves that dataset open.
class FrmCadEmpresa : public FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadEmpresa(QWidget *pai = nullptr);

    QWidget *TabSheet_Cadastro = nullptr; // the only tab, "Cadastro  "
    db::Dataset *tb_empresa = nullptr;    // borrowed from the main window
    db::Dataset *Q_MAX = nullptr;         // select max(CDEMPRESA) as MAXCD from EMPRESA

    EditTexto *Edit_CODIGOEMPRESA = nullptr;
    EditTexto *EDIT_RAZAOSOCIAL = nullptr;
    EditTexto *EDIT_CNPJ = nullptr;
    EditTexto *EDIT_INSCESTADUAL = nullptr;
    EditTexto *EDIT_ENDERECO = nullptr;
    EditTexto *EDIT_BAIRRO = nullptr;
    EditTexto *EDIT_CIDADE = nullptr;
    QComboBox *EDIT_UF = nullptr;
    EditTexto *EDIT_CEP = nullptr;
    EditTexto *EDIT_TELEFONE = nullptr;
    QPushButton *Bt_BuscaImagem = nullptr;
    QLabel *DBImage1 = nullptr;

    // The states, in the order of the list.
    static const QStringList &estados();

    // Asks for the logo's file: the picture dialog unless replaced (an
    // empty name means the user gave up).
    std::function<QString()> escolheArquivo;

    void Bt_BuscaImagemClick();

protected:
    bool validaGravacao() override;
    int proximaChave() override;
};

} // namespace app
