#!/bin/sh
# Archive benchmark: a private MariaDB in a temp dir with a generated archive
# of N recordings (default 1,000,000), then the grid, export and repair
# timings of bench_archive beside the mariadb client running the same
# statement to /dev/null.
#   bench/archive-bench.sh BUILD_DIR [RECORDINGS]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${1:?usage: $0 BUILD_DIR [RECORDINGS]}
n=${2:-1000000}
bench="$build/bench/bench_archive"
[ -x "$bench" ] || { echo "build the bench_archive target first" >&2; exit 2; }
export QT_QPA_PLATFORM=offscreen

tmp=$(mktemp -d /tmp/archive-bench.XXXXXX)
export XDG_RUNTIME_DIR="$tmp"
trap '"$root/scripts/mariadb/server.sh" stop "$tmp/db" >/dev/null 2>&1; rm -rf "$tmp"' EXIT INT TERM
port=34061
while ss -ltn 2>/dev/null | awk '{print $4}' | grep -q "[:.]$port\$"; do
    port=$((port + 1))
done
VORLAN_MARIADB_POOL=512M "$root/scripts/mariadb/server.sh" start "$tmp/db" "$port" registro >/dev/null
sock="$tmp/db/mysqld.sock"
admin() { mariadb --no-defaults --protocol=socket --socket="$sock" -u"$(id -un)" vorlan "$@"; }

# Server-side generation from the Sequence engine: 1000 recordings a day
# from 2015-01-01, ten extensions 1000..1009, a comment on every tenth.
t0=$(date +%s.%N)
admin >/dev/null <<SQL
SET NAMES utf8mb4;
ALTER TABLE registro DISABLE KEYS;
ALTER TABLE integra DISABLE KEYS;
INSERT INTO registro (id, data_ini, hora_ini, path, obs, sentido, busy)
SELECT seq, DATE('2015-01-01') + INTERVAL (seq DIV 1000) DAY,
       SEC_TO_TIME(28800 + (seq * 37) % 36000),
       CONCAT('C:\\\\Gravacoes\\\\', 2015 + (seq DIV 365000), '\\\\', seq, '.wav'),
       IF(seq % 10 = 0, CONCAT('Cliente pediu retorno ', seq), NULL),
       IF(seq % 2 = 0, 'Entrada', 'Saída'), 'NÃO'
FROM seq_1_to_$n;
INSERT INTO integra (id_reg, ramal, duracao, numero, bilhete)
SELECT seq, CONCAT('100', seq % 10), TIME_FORMAT(SEC_TO_TIME(seq % 600), '%H:%i:%s'),
       CONCAT('1198', LPAD(seq % 1000000, 7, '0')), CONCAT('B', seq)
FROM seq_1_to_$n;
ALTER TABLE registro ENABLE KEYS;
ALTER TABLE integra ENABLE KEYS;
ANALYZE TABLE registro, integra;
SQL

t1=$(date +%s.%N)
echo "generated $n recordings in $(echo "$t1 - $t0" | bc) s"

# Runs the statement of KIND through the mariadb client to /dev/null:
# wall time and peak resident size.
client() {
    "$bench" sql "$@" >"$tmp/stmt.sql"
    /usr/bin/time -f "client_total=%e s client_peak_rss=%M KB client_cpu=%U+%S s" \
        mariadb --no-defaults -h127.0.0.1 -P"$port" -uvorlan -pvorlan vorlan \
        <"$tmp/stmt.sql" >/dev/null 2>"$tmp/time.txt"
    cat "$tmp/time.txt"
    # First row: the client streaming (--quick) until its first byte.
    s=$(date +%s.%N)
    mariadb --no-defaults --quick -h127.0.0.1 -P"$port" -uvorlan -pvorlan vorlan \
        <"$tmp/stmt.sql" 2>/dev/null | head -c 1 >/dev/null
    echo "client_first_row=$(echo "$(date +%s.%N) - $s" | bc) s"
}

# The grid, with its process's CPU time beside the client's.
grid() {
    /usr/bin/time -f "grid_cpu=%U+%S s" "$bench" search "$port" "$@" 2>&1 | grep -v QStandardPaths
}

# Client and grid take turns, RUNS times each (default 3), so that load from
# elsewhere on the machine falls on both alike; compare the best of each.
runs=${RUNS:-3}
last=$(admin -N -e "SELECT MAX(data_ini) FROM registro")
echo "== Todas Gravações (kind 7), $n rows =="
for _ in $(seq "$runs"); do
    client 7 "" 2015-01-01 "$last"
    grid 7 "" 2015-01-01 "$last"
done
echo "== Por Data Ramal (kind 1), ramal 1003, 2016-01-01..2016-03-31 =="
for _ in $(seq "$runs"); do
    client 1 1003 2016-01-01 2016-03-31
    grid 1 1003 2016-01-01 2016-03-31
done
echo "== Export (kind 4, ramal 1005) =="
"$bench" export "$port" 1005 "$tmp/export.txt"
echo "== Repair of a 50 MB file =="
"$bench" repair "$tmp" 50
