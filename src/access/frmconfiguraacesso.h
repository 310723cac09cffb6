#pragma once

#include "app/janela.h"

#include <QVariant>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace app {
class CampoEscolha;
}

namespace db {
class Dataset;
}

namespace acesso {

// Which menu items a user group sees: every item of the main menu as a
// check list, ticked when the group's access row says "S".
class FrmConfiguraAcesso : public app::Janela
{
    Q_OBJECT

public:
    explicit FrmConfiguraAcesso(QWidget *pai = nullptr);

    db::Dataset *TB_Grupo = nullptr;
    db::Dataset *TB_Acesso = nullptr;
    QGroupBox *Panel_Itens = nullptr;
    QListWidget *CheckListBox1 = nullptr;
    QLabel *L_Grupo = nullptr;
    app::CampoEscolha *wwDBLookupComboDlg1 = nullptr;
    QPushButton *B_Ok = nullptr;
    QPushButton *B_Cancela = nullptr;

    // The line of the list for a menu item: its name, indented by level.
    static QString linhaDoItem(const QString &nome, int nivel);

    // The selector closed on a group.
    void wwDBLookupComboDlg1CloseUp();
    void B_OkClick();
    void B_CancelaClick();

    bool FormKeyDown(QKeyEvent *evento) override;

protected:
    bool FormClose() override;

private:
    void FormActivate();
    void preencheLista();

    QVariant m_grupo; // the group shown in the list
};

} // namespace acesso
