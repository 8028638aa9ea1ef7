#!/bin/sh
# The installed program folder holds the service, and the unit installed beside it runs it
# there and is one systemd accepts.
#   check_service_unit.sh BUILD
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
unit=$prefix/lib/systemd/system/vantorel.service
test -x "$prefix/bin/vt_service"
for line in "ExecStart=$prefix/bin/vt_service" "WorkingDirectory=$prefix/bin" "Type=simple" \
            "Restart=on-failure" "WantedBy=multi-user.target"; do
    grep -qxF "$line" "$unit" || { echo "ligne absente de $unit : $line" >&2; exit 1; }
done
if command -v systemd-analyze >/dev/null 2>&1; then
    systemd-analyze verify "$unit"
fi
echo "unité valide : $unit"
