#pragma once

#include <memory>

namespace app {

// The whole life of the program: title, main window with its connection,
// login, main loop. Returns the process exit code.
int run(int argc, char **argv);

class FrmPrincipal;

// Builds the main window (connecting to the database) and runs the login:
// 0 when a user was admitted, 1 when the database could not be opened (its
// message was shown), 2 when nobody was admitted. With `sinais`, SIGTERM,
// SIGINT and SIGHUP end the program in order from then on.
int inicia(std::unique_ptr<FrmPrincipal> &principal, bool sinais = false);

} // namespace app
