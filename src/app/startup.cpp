#include "app/startup.h"

#include <QApplication>

namespace app {

int run(int argc, char **argv)
{
    QApplication application(argc, argv);
    return 0;
}

} // namespace app
