#include "app/startup.h"

#include "access/frm_login.h"
#include "app/frmprincipal.h"
#include "app/janela.h"
#include "app/mensagens.h"
#include "db/database.h"

#include <QApplication>
#include <QCheckBox>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace app {

namespace {

int g_sinal[2] = {-1, -1};

void aoSinal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_sinal[0], &c, 1);
}

// The Firebird client takes SIGTERM and SIGINT for itself and then keeps
// running; the program must still end when the session does. The signal is
// turned into an orderly end of the main loop (connections are detached
// on the way out).
void encerraComSinais()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_sinal) != 0)
        return;
    auto *aviso = new QSocketNotifier(g_sinal[1], QSocketNotifier::Read, qApp);
    QObject::connect(aviso, &QSocketNotifier::activated, qApp, [] {
        char c;
        [[maybe_unused]] const auto n = ::read(g_sinal[1], &c, 1);
        db::shutdownClient();
        QCoreApplication::exit(0);
    });
    struct sigaction acao = {};
    acao.sa_handler = aoSinal;
    sigemptyset(&acao.sa_mask);
    acao.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(s, &acao, nullptr);
}

} // namespace

int inicia(std::unique_ptr<FrmPrincipal> &principal, bool sinais)
{
    try {
        principal = std::make_unique<FrmPrincipal>();
    } catch (const db::Error &e) {
        // the database's own message; no main window
        msg::erro(e.message());
        return 1;
    }
    if (sinais)
        encerraComSinais(); // the client library has taken the signals by now
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
    const int r = inicia(principal, true);
    if (r == 1)
        return 1;
    if (r == 2)
        return 0; // nobody admitted: the program ends without a word
    principal->showMaximized();
    return aplicacao.exec();
}

} // namespace app
