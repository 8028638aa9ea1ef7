#!/usr/bin/env bash
# vt_echo against fping on the simulated school network's bridge: the same 500 addresses,
# answered by one of its machines (SALLE2-01 gets 500 more addresses), pinged from the admin
# namespace in the same run, three times each. Run by hand, as root, with the network down:
#   tests/benchmarks/vt_echo_bridge_benchmark.sh [BUILD]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
simnet=$here/scripts/simnet
list=$(mktemp)
trap 'rm -f "$list" "$list.out"; "$simnet" down >/dev/null' EXIT

command -v fping >/dev/null || { echo "fping absent (paquet fping)" >&2; exit 1; }
VTSIM_WAKE=$build/tests/vtsim_wake "$simnet" up >/dev/null
for i in $(seq 0 499); do
    address="10.77.$((1 + i / 250)).$((1 + i % 250))"
    ip -n vtsim-salle2-01 address add "$address/32" dev eth0
    echo "$address" >>"$list"
done
# The admin namespace reaches the extra addresses through SALLE2-01.
ip -n vtsim-admin route add 10.77.1.0/24 via 10.77.0.15
ip -n vtsim-admin route add 10.77.2.0/24 via 10.77.0.15

milliseconds() { local start=$EPOCHREALTIME; "$@" >/dev/null 2>&1 || true; echo "$(( (${EPOCHREALTIME/./} - ${start/./}) / 1000 ))"; }
for run in 1 2 3; do
    echo_ms=$(milliseconds "$simnet" exec "$build/bin/vt_echo" "$list" "$list.out")
    answered=$(grep -c '=1' "$list.out" || true)
    fping_ms=$(milliseconds "$simnet" exec fping -c1 -t10 -i1 -q -f "$list")
    fping_default_ms=$(milliseconds "$simnet" exec fping -c1 -t10 -q -f "$list")
    echo "run $run: vt_echo ${echo_ms} ms (${answered} answered), fping -c1 -t10 -i1 ${fping_ms} ms," \
         "fping -c1 -t10 ${fping_default_ms} ms"
done
