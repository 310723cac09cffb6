#pragma once

#include <QString>

// Corvena.INI, next to the executable: section "DADOS", key "SERVIDOR",
// the database to open (a file path, or host[/port]:path on a server).
namespace app {

QString caminhoIni();
// Reads SERVIDOR afresh; empty when the file or the key is missing.
QString lerServidor();
// The tests point the program at an INI file of their own.
void defineCaminhoIni(const QString &caminho);

} // namespace app
