// corvena-db: creates Corvena databases.
//
//   corvena-db create [--demo] PATH
//
// PATH is a database file (embedded) or host[/port]:path on a Firebird
// server. An existing file is never touched.

#include "db/database.h"
#include "db/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.size() != 2 || args[0] != QStringLiteral("create")) {
        err << "uso: corvena-db create [--demo] CAMINHO\n";
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        db::schema::createDatabase(args[1], demo);
    } catch (const db::Error &e) {
        err << "corvena-db: " << e.message() << "\n";
        return 1;
    }
    out << "Banco de dados criado: " << args[1] << (demo ? " (com dados de demonstração)" : "") << " em "
        << timer.elapsed() << " ms\n";
    return 0;
}
