#!/bin/sh
# Loads a small demo archive into a scratch database of the test server and
# checks that every generated row arrived with its texts intact.
set -eu
scripts=$1
dir=$2
port=$(cat "$dir/port")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sql() { mariadb --no-defaults -h127.0.0.1 -P"$port" -uvorlan -pvorlan -N -B "$@"; }
sql -e "DROP DATABASE IF EXISTS vorlan_demo; CREATE DATABASE vorlan_demo CHARACTER SET latin1;"
sql vorlan_demo <"$scripts/schema-busy-registro.sql"
"$scripts/demo-data.sh" 300 "$work/files.txt" | sql vorlan_demo
rows=$(sql vorlan_demo -e "SELECT COUNT(*) FROM integra JOIN registro ON integra.id_reg=registro.id")
busy=$(sql vorlan_demo -e "SELECT COUNT(*) FROM registro WHERE busy NOT IN ('NÃO','SIM')")
files=$(wc -l <"$work/files.txt")
# tone000 lasts 2 s: 16000 A-law bytes behind the 44-byte header.
perl "$scripts/make-waves.pl" "$work" 2
header=$(od -An -tx1 -N44 "$work/tone000.wav" | tr -d ' \n')
sql -e "DROP DATABASE vorlan_demo;"
echo "rows=$rows busy-other=$busy files=$files"
[ "$rows" = 300 ] && [ "$busy" = 0 ] && [ "$files" -gt 100 ] || exit 1
[ "$header" = "52494646a43e000057415645666d74201000000006000100401f0000401f00000100080064617461803e0000" ] || { echo "header $header"; exit 1; }
