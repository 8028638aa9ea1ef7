#!/bin/sh
# The Debian package of `make package`, built here into a scratch folder and unpacked into a
# scratch root: the program folder with the program, its tools and data files, the unit where
# systemd finds it (valid, naming that folder, not enabled), the desktop entry, the
# dependencies, a postinst that enables nothing; and the installed program starts offscreen from the
# package's folder, writes its files there, and ends at SIGTERM.
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
for line in "ExecStart=/opt/vantorel/bin/vt_service" "WorkingDirectory=/opt/vantorel/bin"; do
    grep -qxF "$line" "$unit" || fail "ligne absente de l'unité : $line"
done
grep -qxF "Exec=/opt/vantorel/bin/Vantorel" "$root/usr/share/applications/vantorel.desktop" ||
    fail "l'entrée de bureau ne lance pas le programme du paquet"
if command -v systemd-analyze >/dev/null 2>&1; then
    # Verified where it was unpacked, so that the programs it names exist.
    sed "s|/opt/vantorel/bin|$folder|g" "$unit" >"$scratch/vantorel.service"
    systemd-analyze verify "$scratch/vantorel.service"
fi

depends=$(dpkg-deb -f "$deb" Depends)
for package in samba-common-bin libqt6widgets6 libqt6network6 libqt6charts6 libmariadb3 libical3; do
    case ", $depends," in
        *", $package "* | *", $package,"*) ;;
        *) fail "dépendance absente : $package ($depends)" ;;
    esac
done
dpkg-deb -e "$deb" "$scratch/control"
! grep -q "systemctl enable" "$scratch/control/postinst" || fail "le paquet active le service"

# The data folder is the program's own: the first start writes its preferences there. The
# leases download stays on loopback.
VANTOREL_DRIVE_C=$scratch/drive_c VANTOREL_LEASES_URL=http://127.0.0.1:9/dhcpd.leases \
    QT_QPA_PLATFORM=offscreen "$folder/Vantorel" >"$scratch/run.log" 2>&1 &
program=$!
tries=0
until [ -f "$folder/vtl.ini" ] && [ -f "$folder/vt_scheduler.lck" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || fail "le programme installé n'a pas démarré : $(cat "$scratch/run.log")"
    kill -0 "$program" 2>/dev/null || fail "le programme installé s'est arrêté : $(cat "$scratch/run.log")"
    sleep 0.2
done
sleep 1
kill -TERM "$program"
status=0
wait "$program" || status=$?
program=
test "$status" -eq 0 || fail "fin du programme installé au signal TERM : code $status"
echo "paquet valide : $(basename "$deb")"
