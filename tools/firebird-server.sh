#!/usr/bin/env bash
# A private Firebird 3 server for trying Corvena with several workstations
# and for the tests that do so: Debian's /usr/sbin/firebird (package
# firebird3.0-server) run from a folder of its own, listening on 127.0.0.1
# only, on a port of its own, with its own security database in which SYSDBA
# has the program's password. Nothing of the system's Firebird setup is used
# or changed, and several of these servers can run side by side.
#
#   firebird-server.sh start DIR [PORT] [--owner PID]
#       Prepares DIR (if needed) and starts the server; prints the port.
#       Without PORT a free one is chosen. With --owner the server is stopped
#       as soon as process PID ends (a test program that crashes leaves
#       nothing running).
#   firebird-server.sh create DIR FILE [--demo]
#       Creates a Corvena database FILE through the server with corvena-db
#       and prints the SERVIDOR value for Corvena.INI (localhost/PORT:FILE).
#   firebird-server.sh stop DIR
#       Stops the server (TERM, up to 5 s, then KILL). DIR and its
#       databases stay; remove the folder when they are no longer needed.
#   firebird-server.sh status DIR
#       Prints "running PORT PID" (exit 0) or "stopped" (exit 1).
#
# corvena-db is taken from $CORVENA_DB, else $CORVENA_BIN_DIR/corvena-db,
# else build/corvena-db of the source tree.
#
# What DIR holds: root/ (the server's firebird.conf, databases.conf,
# firebird.msg, intl/, security3.fdb and lock/), port, pid, server.log.
# The server's own log still goes to the package's /var/log/firebird.
set -euo pipefail

readonly PASSWORD=bolvinuqe   # the program's fixed SYSDBA password
readonly SERVER=/usr/sbin/firebird
readonly STOP_WAIT_TENTHS=50  # TERM is sometimes ignored: KILL after 5 s
readonly START_WAIT_TENTHS=150

die() {
    echo "firebird-server: $*" >&2
    exit 1
}

usage() {
    sed -n '/^#   firebird-server.sh/,/^#$/p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

# --- where the package keeps its pieces ------------------------------------

fb_lib_dir() {
    local d
    for d in /usr/lib/*/firebird/3.0 /usr/lib/firebird/3.0 /usr/lib64/firebird/3.0; do
        if [ -f "$d/intl/libfbintl.so" ] && [ -f "$d/firebird.msg" ]; then
            echo "$d"
            return
        fi
    done
    die "Firebird 3 não encontrado (instale firebird3.0-server: tools/install-deps.sh)"
}

fb_intl_conf() {
    local lib=$1
    if [ -f "$lib/intl/fbintl.conf" ]; then echo "$lib/intl/fbintl.conf"; return; fi
    [ -f /etc/firebird/3.0/fbintl.conf ] || die "fbintl.conf não encontrado"
    echo /etc/firebird/3.0/fbintl.conf
}

# --- processes --------------------------------------------------------------

# Alive and not a zombie left for a parent that does not reap it.
alive() {
    local pid=$1 state
    [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
    state=$(sed 's/^.*) //' "/proc/$pid/stat" 2>/dev/null | cut -d' ' -f1) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# The pid is our server (and not some process that took over its number).
is_server() {
    local pid=$1 exe
    alive "$pid" || return 1
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || return 1
    [ "${exe% (deleted)}" = "$SERVER" ]
}

# Inode of the socket listening on 127.0.0.1:PORT, empty when none.
listener_inode() {
    local hex
    hex=$(printf '0100007F:%04X' "$1")
    awk -v a="$hex" '$2 == a && $4 == "0A" { print $10; exit }' /proc/net/tcp
}

# Anything at all (listening or connected) uses the local port.
port_in_use() {
    local hex
    hex=$(printf ':%04X' "$1")
    awk -v p="$hex" 'NR > 1 { split($2, l, ":"); if (":" l[2] == p) { f = 1; exit } } END { exit !f }' \
        /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

owns_socket() {
    local pid=$1 inode=$2
    [ -n "$inode" ] || return 1
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "socket:\[$inode\]"
}

# TERM, up to 5 s for it to end, then KILL. Never `wait`: the server is not
# a child of this shell.
stop_pid() {
    local pid=$1 i
    is_server "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for ((i = 0; i < STOP_WAIT_TENTHS; i++)); do
        alive "$pid" || return 0
        sleep 0.1
    done
    echo "firebird-server: o servidor $pid não terminou com TERM; KILL" >&2
    kill -KILL "$pid" 2>/dev/null || true
    for ((i = 0; i < STOP_WAIT_TENTHS; i++)); do
        alive "$pid" || return 0
        sleep 0.1
    done
    die "o servidor $pid não terminou"
}

# --- the private root --------------------------------------------------------

write_conf() {
    local root=$1 port=$2
    cat >"$root/firebird.conf" <<EOF
# Private Firebird server of Corvena's tools/firebird-server.sh.
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $port
SecurityDatabase = $root/security3.fdb
TempDirectories = $root/tmp
UdfAccess = None
EOF
}

prepare_root() {
    local dir=$1 root=$1/root lib
    lib=$(fb_lib_dir)
    mkdir -p "$root/lock" "$root/tmp"
    # no port until the server starts: isql below works embedded
    write_conf "$root" 0
    cat >"$root/databases.conf" <<EOF
security.db = $root/security3.fdb
{
    RemoteAccess = false
}
EOF
    cp -f "$lib/firebird.msg" "$root/"
    # The character sets: the module must be a real file in a real folder
    # under the root (a symbolic link to the package's is not loaded, and
    # then ISO8859_1 "is not defined").
    mkdir -p "$root/intl"
    cp -f "$lib/intl/libfbintl.so" "$root/intl/"
    cp -f "$(fb_intl_conf "$lib")" "$root/intl/fbintl.conf"
    if [ ! -f "$root/security3.fdb" ]; then
        local sql=/usr/share/firebird/3.0/security.sql
        [ -f "$sql" ] || die "$sql não encontrado (pacote firebird3.0-server)"
        command -v isql-fb >/dev/null || die "isql-fb não encontrado (pacote firebird3.0-utils)"
        # Embedded, through the private configuration: the users go into
        # this security database, not the system's.
        (
            export FIREBIRD=$root FIREBIRD_LOCK=$root/lock
            echo "CREATE DATABASE '$root/security3.fdb.new';" | isql-fb -q
            isql-fb -q -user SYSDBA -i "$sql" "$root/security3.fdb.new"
            mv "$root/security3.fdb.new" "$root/security3.fdb"
            echo "CREATE OR ALTER USER SYSDBA PASSWORD '$PASSWORD' USING PLUGIN Srp;" |
                isql-fb -q -user SYSDBA "$root/security3.fdb"
        ) >>"$dir/server.log" 2>&1 || die "falha ao criar o banco de segurança (veja $dir/server.log)"
    fi
}

# Starts the server on PORT; succeeds once it is the one listening there.
launch() {
    local dir=$1 port=$2 root=$1/root pid inode i
    write_conf "$root" "$port"
    (
        cd "$root"
        export FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp
        exec setsid "$SERVER" </dev/null >>"$dir/server.log" 2>&1
    ) &
    pid=$!
    for ((i = 0; i < START_WAIT_TENTHS; i++)); do
        if ! alive "$pid"; then
            echo "firebird-server: o servidor terminou ao iniciar na porta $port" >&2
            return 1
        fi
        inode=$(listener_inode "$port")
        if [ -n "$inode" ]; then
            if owns_socket "$pid" "$inode"; then
                echo "$pid" >"$dir/pid"
                echo "$port" >"$dir/port"
                return 0
            fi
            # another program got there first
            stop_pid "$pid"
            return 1
        fi
        sleep 0.1
    done
    stop_pid "$pid"
    echo "firebird-server: o servidor não abriu a porta $port" >&2
    return 1
}

free_port() {
    local p tries
    for ((tries = 0; tries < 200; tries++)); do
        # below the kernel's range for outgoing connections (32768-60999)
        p=$((20000 + (RANDOM * 32768 + RANDOM) % 12000))
        port_in_use "$p" || { echo "$p"; return; }
    done
    die "nenhuma porta livre encontrada"
}

running_pid() {
    local dir=$1 pid
    [ -f "$dir/pid" ] || return 1
    pid=$(cat "$dir/pid")
    is_server "$pid" || return 1
    echo "$pid"
}

# --- commands ----------------------------------------------------------------

cmd_start() {
    local dir="" port="" owner="" attempt
    while [ $# -gt 0 ]; do
        case $1 in
            --owner) owner=${2:?}; shift 2 ;;
            -*) usage ;;
            *) if [ -z "$dir" ]; then dir=$1; elif [ -z "$port" ]; then port=$1; else usage; fi; shift ;;
        esac
    done
    [ -n "$dir" ] || usage
    [ -x "$SERVER" ] || die "$SERVER não encontrado (instale firebird3.0-server: tools/install-deps.sh)"
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if running_pid "$dir" >/dev/null; then
        die "já há um servidor em $dir (porta $(cat "$dir/port"))"
    fi
    rm -f "$dir/pid" "$dir/port"
    prepare_root "$dir"
    if [ -n "$port" ]; then
        [[ $port =~ ^[0-9]+$ ]] && [ "$port" -gt 0 ] && [ "$port" -lt 65536 ] || die "porta inválida: $port"
        launch "$dir" "$port" || die "não foi possível iniciar o servidor na porta $port (veja $dir/server.log)"
    else
        # A port chosen at random may be taken meanwhile by another server
        # started at the same moment: then try another.
        for ((attempt = 1; ; attempt++)); do
            port=$(free_port)
            launch "$dir" "$port" && break
            [ "$attempt" -lt 5 ] || die "não foi possível iniciar o servidor (veja $dir/server.log)"
        done
    fi
    if [ -n "$owner" ]; then
        setsid "$BASH" "$0" _watch "$dir" "$owner" </dev/null >/dev/null 2>&1 &
        echo $! >"$dir/watch.pid"
    fi
    echo "firebird-server: servidor $(cat "$dir/pid") em 127.0.0.1:$port, pasta $dir" >&2
    echo "$port"
}

cmd_stop() {
    local dir=${1:?} pid
    [ -d "$dir" ] || die "pasta inexistente: $dir"
    if [ -f "$dir/watch.pid" ]; then
        pid=$(cat "$dir/watch.pid")
        if [ "$pid" != "${WATCHER_SELF:-}" ] && alive "$pid" \
            && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "_watch"; then
            kill -TERM -- "-$pid" 2>/dev/null || true # it and its sleep
        fi
        rm -f "$dir/watch.pid"
    fi
    if [ -f "$dir/pid" ]; then
        stop_pid "$(cat "$dir/pid")"
        rm -f "$dir/pid"
    fi
}

cmd_status() {
    local dir=${1:?} pid
    if pid=$(running_pid "$dir"); then
        echo "running $(cat "$dir/port") $pid"
    else
        echo stopped
        return 1
    fi
}

cmd_create() {
    local dir="" file="" demo=() db port
    while [ $# -gt 0 ]; do
        case $1 in
            --demo) demo=(--demo); shift ;;
            -*) usage ;;
            *) if [ -z "$dir" ]; then dir=$1; elif [ -z "$file" ]; then file=$1; else usage; fi; shift ;;
        esac
    done
    [ -n "$dir" ] && [ -n "$file" ] || usage
    running_pid "$dir" >/dev/null || die "nenhum servidor rodando em $dir"
    port=$(cat "$dir/port")
    case $file in /*) ;; *) file=$PWD/$file ;; esac
    mkdir -p "$(dirname "$file")"
    db=${CORVENA_DB:-}
    if [ -z "$db" ] && [ -n "${CORVENA_BIN_DIR:-}" ]; then db=$CORVENA_BIN_DIR/corvena-db; fi
    if [ -z "$db" ]; then db=$(cd "$(dirname "$0")/.." && pwd)/build/corvena-db; fi
    [ -x "$db" ] || die "corvena-db não encontrado em $db (compile o projeto ou defina CORVENA_DB)"
    "$db" create "${demo[@]}" "localhost/$port:$file" >&2
    echo "localhost/$port:$file"
}

# Stops the server once the owner process is gone.
cmd_watch() {
    local dir=$1 owner=$2
    while alive "$owner"; do sleep 1; done
    WATCHER_SELF=$$ cmd_stop "$dir"
}

case ${1:-} in
    start) shift; cmd_start "$@" ;;
    stop) shift; [ $# -eq 1 ] || usage; cmd_stop "$1" ;;
    status) shift; [ $# -eq 1 ] || usage; cmd_status "$1" ;;
    create) shift; cmd_create "$@" ;;
    _watch) shift; cmd_watch "$@" ;;
    *) usage ;;
esac
