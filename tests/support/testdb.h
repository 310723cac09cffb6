#pragma once

#include "db/database.h"

#include <QString>

#include <memory>

namespace testsupport {

// A new database file in a folder that lives as long as the test program:
// a copy of a template created once per program from the project's
// scripts, so every test starts from exactly what `corvena-db create` makes.
QString freshDatabasePath(bool demo = false);

// The same, opened.
std::unique_ptr<db::Connection> freshDatabase(bool demo = false);

// A folder of the test program's own, removed when it ends.
QString scratchDir();

} // namespace testsupport
