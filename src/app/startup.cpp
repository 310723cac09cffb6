#include "app/startup.h"

#include "access/frm_login.h"
#include "app/frmprincipal.h"
#include "app/janela.h"
#include "app/mensagens.h"
#include "db/database.h"

#include <QApplication>
#include <QCheckBox>

#include <memory>

namespace app {

int inicia(std::unique_ptr<FrmPrincipal> &principal)
{
    try {
        principal = std::make_unique<FrmPrincipal>();
    } catch (const db::Error &e) {
        // the database's own message; no main window
        msg::erro(e.message());
        return 1;
    }
    if (principal->CB_Acesso->isChecked() && principal->Tag == 0) {
        principal->Tag = 1;
        acesso::executaLogin(*principal);
    }
    return principal->Tag > 0 ? 2 : 0;
}

int run(int argc, char **argv)
{
    QApplication aplicacao(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvena"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvena"));
    instalaPreviaTeclas();

    std::unique_ptr<FrmPrincipal> principal;
    const int r = inicia(principal);
    if (r == 1)
        return 1;
    if (r == 2)
        return 0; // nobody admitted: the program ends without a word
    principal->showMaximized();
    return aplicacao.exec();
}

} // namespace app
