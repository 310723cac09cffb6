#!/usr/bin/env bash
# Installs, with apt-get, whatever of Corvena's build and test dependencies
# this Debian 12 machine lacks. Needs root when something is missing.
set -euo pipefail

packages=(
    build-essential cmake
    qt6-base-dev qt6-base-dev-tools libgl-dev
    firebird-dev libfbclient2
    firebird3.0-server-core   # the embedded engine (libEngine12)
    firebird3.0-server        # the server binary for several workstations and its tests
    firebird3.0-utils
    poppler-utils             # pdftotext, used by the report tests
    fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Instalando: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    # the server package asks for a SYSDBA password; keep its defaults
    echo "firebird3.0-server shared/firebird/enabled boolean false" | debconf-set-selections 2>/dev/null || true
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
