#!/bin/sh
# Prints the SQL of a demo archive: COUNT recordings, the first two thirds
# in 2020 (their paths carry a year level the client maps), the rest in the
# last 30 days. Writes to FILELIST one line "<relative path> <tone n>" per
# recording whose file should exist.
#   demo-data.sh COUNT FILELIST > data.sql
set -eu
count=$1
files=$2
today=$(date +%s)
awk -v count="$count" -v today="$today" -v files="$files" 'BEGIN {
    srand(20200101)
    print "SET NAMES utf8mb4;"
    print "START TRANSACTION;"
    split("Entrada Saída", dir, " ")
    base2020 = 1577880000 # 2020-01-01 12:00 UTC
    for (i = 1; i <= count; i++) {
        if (i <= int(count * 2 / 3))
            t = base2020 + int(rand() * 365) * 86400
        else
            t = today - int(rand() * 30) * 86400
        day = strftime("%Y-%m-%d", t, 1)
        hour = 7 + int(rand() * 12); minute = int(rand() * 60); second = int(rand() * 60)
        hora = sprintf("%02d:%02d:%02d", hour, minute, second)
        ramal = sprintf("%d", 2001 + int(rand() * 40))
        r = rand()
        if (r < 0.03) ramal = "Restr"
        else if (r < 0.08) ramal = "N/B"
        numero = sprintf("%d9%04d%04d", 11 + int(rand() * 80), int(rand() * 10000), int(rand() * 10000))
        secs = 5 + int(rand() * 600)
        duracao = sprintf("%02d:%02d:%02d", int(secs / 3600), int(secs / 60) % 60, secs % 60)
        sentido = dir[1 + int(rand() * 2)]
        y = substr(day, 1, 4); m = substr(day, 6, 2); d = substr(day, 9, 2)
        name = sprintf("%s_%s%s%s.wav", ramal == "N/B" ? "NB" : ramal, substr(hora, 1, 2), substr(hora, 4, 2), substr(hora, 7, 2))
        path = sprintf("D:\\\\Gravacoes\\\\%s\\\\%s\\\\%s\\\\%s", y, m, d, name)
        if (rand() < 0.06) path = "Não Atendida"
        else if (y == "2020" && ramal != "Restr")
            printf "%s/%s/%s/%s %d\n", y, m, d, name, i % 150 > files
        bilhete = ramal == "N/B" ? "NULL" : sprintf("\x27%s %s %s %s %s\x27", day, hora, ramal, numero, duracao)
        obs = rand() < 0.05 ? "\x27CLIENTE PEDIU RETORNO\x27" : "NULL"
        busy = rand() < 0.1 ? "SIM" : "NÃO"
        printf "INSERT INTO registro (id,data_ini,hora_ini,path,obs,sentido,busy) VALUES (%d,\x27%s\x27,\x27%s\x27,\x27%s\x27,%s,\x27%s\x27,\x27%s\x27);\n", i, day, hora, path, obs, sentido, busy
        printf "INSERT INTO integra (id_reg,ramal,duracao,numero,bilhete) VALUES (%d,\x27%s\x27,\x27%s\x27,\x27%s\x27,%s);\n", i, ramal, duracao, numero, bilhete
    }
    print "COMMIT;"
}'
