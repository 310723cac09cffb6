#pragma once

#include "app/formcadastro.h"

#include <QVariant>

class QAction;
class QGroupBox;
class QMenu;

namespace app {
class EditTexto;
class GradeDados;
} // namespace app

namespace db {
class Dataset;
}

namespace acesso {

// The user groups. A new group gets one visible access row per menu item;
// the users of the current group are listed under the groups and can be
// taken out of it.
class FrmCadGrupoUsuario : public app::FormCadastro
{
    Q_OBJECT

public:
    explicit FrmCadGrupoUsuario(QWidget *pai = nullptr);

    db::Dataset *Tb_Grupos = nullptr;
    db::Dataset *TB_Usuarios = nullptr;
    db::Dataset *TB_Acesso = nullptr;
    app::EditTexto *EDIT_DESCRICAO = nullptr;
    app::EditTexto *EDIT_CODIGO = nullptr;
    QGroupBox *Painel_Usuarios = nullptr;
    app::GradeDados *Grid_Usuarios = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *Removerusuariodogrupo1 = nullptr;

    // "Remover usuário do grupo": the user selected in the users panel
    // stays registered, without a group.
    void Removerusuariodogrupo1Click();

protected:
    bool verificaExclusao() override;
    bool aplica() override;

private:
    void atualizaMenuUsuarios();

    QVariant m_grupoExcluido; // the group whose deletion is pending
};

} // namespace acesso
