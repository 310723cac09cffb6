#pragma once

namespace app {

// The whole life of the program: title, main window with its connection,
// login, main loop. Returns the process exit code.
int run(int argc, char **argv);

} // namespace app
