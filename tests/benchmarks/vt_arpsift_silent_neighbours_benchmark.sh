#!/usr/bin/env bash
# vt_arpsift with 10 and with 100 ARP neighbours that have no NetBIOS name service: live hosts
# whose name service port answers "port unreachable", as printers, phones and PCs without
# file sharing do. Two namespaces of the benchmark's own: the tool's machine and, behind one
# veth pair, every neighbour's address; the neighbours' side sends each refusal at once (no
# ICMP rate limit), as separate hosts would. Prints the elapsed time of a first run (every
# neighbour asked) and of a second run right after it (the refusals remembered). Run by hand,
# as root:
#   tests/benchmarks/vt_arpsift_silent_neighbours_benchmark.sh [BUILD]
# BEFORE another build folder whose bin/ holds the programs to measure beside them (an older
# vt_arpsift with its vt_cmd, vt_nbtstat and vt_arp); SIZES ("10 100") the neighbour counts.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
sizes=${SIZES:-"10 100"}
tag=vtq-arpsift-$$
client=$tag-c
peers=$tag-r
work=$(mktemp -d)
finish() {
    ip netns del "$client" 2>/dev/null || true
    ip netns del "$peers" 2>/dev/null || true
    rm -rf "$work"
}
trap finish EXIT

ip netns add "$client"
ip netns add "$peers"
ip -n "$client" link set lo up
ip -n "$peers" link set lo up
ip -n "$client" link add vtq-c type veth peer name vtq-r netns "$peers"
ip -n "$client" addr add 10.97.0.1/16 dev vtq-c
ip -n "$client" link set vtq-c up
ip -n "$peers" link set vtq-r up
ip netns exec "$peers" sysctl -qw net.ipv4.icmp_ratelimit=0 net.ipv4.icmp_msgs_per_sec=100000
peer_mac=$(ip netns exec "$peers" cat /sys/class/net/vtq-r/address)

# The neighbours 10.97.1.1 onwards, each an address of the peers' side and a dynamic entry of
# the client's ARP table.
set_neighbours() {
    ip -n "$client" neigh flush dev vtq-c
    ip -n "$peers" addr flush dev vtq-r
    for ((i = 1; i <= $1; i++)); do
        local address=10.97.$((1 + i / 250)).$((1 + i % 250))
        ip -n "$peers" addr add "$address/16" dev vtq-r
        ip -n "$client" neigh replace "$address" lladdr "$peer_mac" dev vtq-c nud stale
    done
}

# A program folder with the tool, its interpreter and the adapters of a build's bin/.
install_programs() {
    mkdir -p "$work/$1"
    for program in vt_arpsift vt_cmd vt_nbtstat vt_arp; do
        cp "$2/bin/$program" "$work/$1/"
    done
}

# Runs the tool of a program folder in the client namespace with a fresh drive C unless told
# to keep it; prints the elapsed milliseconds.
timed_run() {
    local folder=$work/$1
    if [ "$2" = fresh ]; then rm -rf "$work/drive_c" "$folder"/liste.* "$folder"/cache.log; fi
    mkdir -p "$work/drive_c"
    # shellcheck disable=SC2016
    VANTOREL_DRIVE_C=$work/drive_c ip netns exec "$client" bash -c \
        'cd "$1"; start=$EPOCHREALTIME; ./vt_arpsift >/dev/null 2>&1; end=$EPOCHREALTIME
         echo $(((${end/./} - ${start/./}) / 1000))' _ "$folder"
}

install_programs after "$build"
builds=(after)
if [ -n "${BEFORE:-}" ]; then
    install_programs before "$(cd "$BEFORE" && pwd)"
    builds=(before after)
fi
printf '%-8s %-10s %12s %12s\n' build neighbours "first (ms)" "second (ms)"
for size in $sizes; do
    set_neighbours "$size"
    for name in "${builds[@]}"; do
        first=$(timed_run "$name" fresh)
        second=$(timed_run "$name" keep)
        printf '%-8s %-10s %12s %12s\n' "$name" "$size" "$first" "$second"
    done
done
