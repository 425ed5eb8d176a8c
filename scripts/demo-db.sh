#!/bin/sh
# A private MariaDB server with a demo archive for trying the client:
# 127.0.0.1:3307, user vorlan, password vorlan, database vorlan, and A-law
# recordings under DEMO_DIR/recordings. Running it again does nothing.
#   demo-db.sh start DEMO_DIR   prints the value for PathGravacoes
#   demo-db.sh stop DEMO_DIR
set -eu
here=$(cd "$(dirname "$0")" && pwd)
cmd=${1:-}
demo=${2:-}
[ -n "$cmd" ] && [ -n "$demo" ] || { echo "usage: $0 start|stop DEMO_DIR" >&2; exit 2; }
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
port=3307
count=${VORLAN_DEMO_RECORDINGS:-3000}

if [ "$cmd" = stop ]; then
    "$here/mariadb/server.sh" stop "$demo/db" >/dev/null
    exit 0
fi
[ "$cmd" = start ] || { echo "unknown command $cmd" >&2; exit 2; }

fresh=0
[ -d "$demo/db/data/mysql" ] || fresh=1
"$here/mariadb/server.sh" start "$demo/db" "$port" registro >&2
if [ $fresh = 1 ] || [ ! -f "$demo/db/demo-loaded" ]; then
    echo "loading $count demo recordings" >&2
    rec="$demo/recordings"
    mkdir -p "$rec/.tones"
    perl "$here/mariadb/make-waves.pl" "$rec/.tones" 150
    "$here/mariadb/demo-data.sh" "$count" "$demo/db/files.txt" >"$demo/db/demo.sql"
    mariadb --no-defaults --protocol=socket --socket="$demo/db/mysqld.sock" -u"$(id -un)" vorlan \
        <"$demo/db/demo.sql"
    # Recordings share a few hundred distinct sounds through hard links.
    perl -MFile::Path=make_path -MFile::Basename=dirname -e '
        my ($rec, $list) = @ARGV;
        open(my $in, "<", $list) or die "$!\n";
        while (<$in>) {
            my ($file, $tone) = split;
            make_path(dirname("$rec/$file"));
            unlink "$rec/$file";
            link(sprintf("%s/.tones/tone%03d.wav", $rec, $tone), "$rec/$file") or die "$file: $!\n";
        }' "$rec" "$demo/db/files.txt"
    touch "$demo/db/demo-loaded"
fi
echo "$demo/recordings"
