#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace db {

class Connection;

// Builds a new Corvena database from the SQL scripts compiled into the
// program (the db/ folder of the sources).
namespace schema {

// Splits an isql-style script into statements: ';' ends a statement until
// "SET TERM x ;" chooses another terminator (for procedure and trigger
// bodies); quoted text and comments are respected, COMMIT lines dropped.
QStringList splitScript(const QString &script);

// The scripts in the order they are applied, without the demo data.
QStringList scriptNames();
QString scriptText(const QString &name);

// Runs the schema and initial-content scripts on an empty database, then
// the demo data when asked.
void install(Connection &connection, bool demo);

// Creates the file and installs everything. Refuses (db::Error) when the
// path already exists; the existing file is left untouched. A database for
// real use gets forced (synchronous) writes; scratch databases of the tests
// may go without.
std::unique_ptr<Connection> createDatabase(const QString &path, bool demo = false, bool forcedWrites = true);

} // namespace schema
} // namespace db
