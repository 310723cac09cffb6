#!/usr/bin/env bash
# Builds Corvena and starts it on an embedded demo database (created on the
# first run next to the executable, with Corvena.INI pointing at it).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target corvena corvena-db

bin="$(pwd)/build"
banco="$bin/corvena-demo.fdb"
if [ ! -f "$banco" ]; then
    "$bin/corvena-db" create --demo "$banco"
fi
if [ ! -f "$bin/Corvena.INI" ]; then
    printf '[DADOS]\nSERVIDOR=%s\n' "$banco" > "$bin/Corvena.INI"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "Aviso: nenhuma tela gráfica encontrada (DISPLAY vazio); o Corvena precisa de uma sessão gráfica." >&2
fi
echo "Entre com o login ADMIN e a senha ADMIN."
exec "$bin/corvena"
