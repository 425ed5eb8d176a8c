#!/bin/sh
# The tests' private server: picks a free port, loads the schema and the seed
# into three databases (busy in registro, in integra, none) and writes the
# port to DIR/port.
#   test-fixture.sh start DIR | stop DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cmd=$1
dir=$2
if [ "$cmd" = stop ]; then
    exec "$here/server.sh" stop "$dir"
fi
"$here/server.sh" stop "$dir" >/dev/null 2>&1 || true
rm -rf "$dir"
mkdir -p "$dir"
port=33061
while ss -ltn 2>/dev/null | awk '{print $4}' | grep -q "[:.]$port\$"; do
    port=$((port + 1))
done
"$here/server.sh" start "$dir" "$port" registro
sock="$dir/mysqld.sock"
load() {
    mariadb --no-defaults --protocol=socket --socket="$sock" -u"$(id -un)" "$@"
}
load -e "CREATE DATABASE vorlan_integra CHARACTER SET latin1; CREATE DATABASE vorlan_none CHARACTER SET latin1;"
load vorlan_integra <"$here/schema-busy-integra.sql"
load vorlan_none <"$here/schema-busy-none.sql"
for v in registro integra none; do
    db=vorlan_$v
    [ $v = registro ] && db=vorlan
    load "$db" <"$here/seed.sql"
    load "$db" <"$here/busy-$v.sql"
done
