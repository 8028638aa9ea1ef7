#!/bin/sh
# The package of `make package`, built into a scratch folder and unpacked: what it holds, its
# unit, its dependencies, and the installed program started offscreen from its folder.
#   check_package.sh BUILD
set -eu
build=$1
scratch=$(mktemp -d)
program=
trap '[ -z "$program" ] || kill -KILL "$program" 2>/dev/null; rm -rf "$scratch"' EXIT
fail() { echo "$*" >&2; exit 1; }

command -v dpkg-deb >/dev/null || { echo "dpkg-deb absent : test ignoré"; exit 77; }
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack a échoué"; }
deb=$(ls "$scratch"/out/vantorel_*_*.deb)
root=$scratch/root
dpkg-deb -x "$deb" "$root"
folder=$root/opt/vantorel/bin

for file in Vantorel vt_service vt_shutdown vt_cmd vt_echo wolcmd vt_arpsift vt_net vt_nbtstat \
            vt_arp vt_ocs_hardware vt_ocs_softwares led-vert.bmp Calendrier_Scolaire_Zones_A_B_C.ics; do
    test -f "$folder/$file" || fail "absent du paquet : $file"
done
# Nothing else than the program folder, the unit and the desktop entry; nothing enabled.
extra=$(cd "$root" && find . -type f ! -path './opt/vantorel/bin/*' | sort | tr '\n' ' ')
test "$extra" = "./usr/lib/systemd/system/vantorel.service ./usr/share/applications/vantorel.desktop " ||
    fail "fichiers inattendus : $extra"

unit=$root/usr/lib/systemd/system/vantorel.service
grep -qxF "ExecStart=/opt/vantorel/bin/vt_service" "$unit" || fail "unité : ExecStart"
grep -qxF "Exec=/opt/vantorel/bin/Vantorel" "$root/usr/share/applications/vantorel.desktop" ||
    fail "l'entrée de bureau ne lance pas le programme du paquet"
# Verified where it was unpacked, so that the programs it names exist.
sed "s|/opt/vantorel/bin|$folder|g" "$unit" >"$scratch/vantorel.service"
! command -v systemd-analyze >/dev/null || systemd-analyze verify "$scratch/vantorel.service"

for package in samba-common-bin libqt6widgets6 libqt6network6 libqt6charts6 libmariadb3 libical3; do
    dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep -q "^ *$package\( \|\$\)" ||
        fail "dépendance absente : $package"
done
dpkg-deb -e "$deb" "$scratch/control"
! grep -q "systemctl enable" "$scratch/control/postinst" || fail "le paquet active le service"

# The data folder is the program's own: the first start writes its preferences there. The
# leases download stays on loopback.
VANTOREL_DRIVE_C=$scratch/drive_c VANTOREL_LEASES_URL=http://127.0.0.1:9/dhcpd.leases \
    QT_QPA_PLATFORM=offscreen "$folder/Vantorel" >"$scratch/run.log" 2>&1 &
program=$!
tries=0
until [ -f "$folder/vt_scheduler.lck" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] && kill -0 "$program" 2>/dev/null ||
        fail "le programme installé n'a pas démarré : $(cat "$scratch/run.log")"
    sleep 0.2
done
test -f "$folder/vtl.ini" || fail "vtl.ini absent du dossier du programme"
sleep 1
kill -TERM "$program"
status=0
wait "$program" || status=$?
program=
test "$status" -eq 0 || fail "fin du programme installé au signal TERM : code $status"
echo "paquet valide : $(basename "$deb")"
