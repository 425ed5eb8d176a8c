#!/bin/sh
# Private MariaDB server for tests and the demo: its own data directory,
# 127.0.0.1 only, socket inside DIR, user vorlan/vorlan, database vorlan.
#   server.sh start DIR PORT [SCHEMA_VARIANT]   (variant: integra|registro|none)
#   server.sh stop DIR
# A started server's port is written to DIR/port.
# VORLAN_MARIADB_POOL sets the InnoDB buffer pool (default 32M).
set -eu
# mariadbd lives in /usr/sbin, which a normal user's PATH may lack.
PATH="$PATH:/usr/sbin:/sbin"

here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR [PORT] [VARIANT]" >&2; exit 2; }
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
sock="$dir/mysqld.sock"
pidfile="$dir/mysqld.pid"

runs() { [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null; }

client() { mariadb --no-defaults --protocol=socket --socket="$sock" -u"$(id -un)" "$@"; }

case "$cmd" in
start)
    port=${3:-33061}
    variant=${4:-registro}
    if runs; then
        echo "already running on port $(cat "$dir/port")"
        exit 0
    fi
    if ss -ltn 2>/dev/null | awk '{print $4}' | grep -q "[:.]$port\$"; then
        echo "port $port is in use" >&2
        exit 1
    fi
    fresh=0
    if [ ! -d "$dir/data/mysql" ]; then
        mkdir -p "$dir/data"
        mariadb-install-db --no-defaults --datadir="$dir/data" --user="$(id -un)" \
            --auth-root-authentication-method=socket --skip-test-db >"$dir/install.log" 2>&1
        fresh=1
    fi
    # --user keeps mariadbd willing to run when started as root.
    mariadbd --no-defaults --datadir="$dir/data" --socket="$sock" --pid-file="$pidfile" \
        --bind-address=127.0.0.1 --port="$port" --lower-case-table-names=1 \
        --user="$(id -un)" --skip-name-resolve --log-error="$dir/error.log" \
        --innodb-buffer-pool-size="${VORLAN_MARIADB_POOL:-32M}" --innodb-log-file-size=16M \
        --character-set-server=latin1 --collation-server=latin1_swedish_ci \
        >/dev/null 2>&1 &
    i=0
    until client -e "select 1" >/dev/null 2>&1; do
        i=$((i + 1))
        if [ $i -gt 150 ]; then
            echo "server did not answer; see $dir/error.log" >&2
            exit 1
        fi
        sleep 0.2
    done
    echo "$port" >"$dir/port"
    if [ $fresh = 1 ]; then
        client -e "CREATE DATABASE vorlan CHARACTER SET latin1;
            CREATE USER 'vorlan'@'127.0.0.1' IDENTIFIED BY 'vorlan';
            CREATE USER 'vorlan'@'localhost' IDENTIFIED BY 'vorlan';
            GRANT ALL ON vorlan.* TO 'vorlan'@'127.0.0.1';
            GRANT ALL ON vorlan.* TO 'vorlan'@'localhost';
            GRANT ALL ON \`vorlan\\_%\`.* TO 'vorlan'@'127.0.0.1';
            FLUSH PRIVILEGES;"
        client vorlan <"$here/schema-busy-$variant.sql"
    fi
    echo "started on port $port"
    ;;
stop)
    if runs; then
        pid=$(cat "$pidfile")
        kill "$pid"
        i=0
        while kill -0 "$pid" 2>/dev/null; do
            i=$((i + 1))
            [ $i -gt 150 ] && { kill -9 "$pid"; break; }
            sleep 0.2
        done
    fi
    echo "stopped"
    ;;
*)
    echo "unknown command $cmd" >&2
    exit 2
    ;;
esac
