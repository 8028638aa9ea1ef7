#!/usr/bin/env bash
# A room's shutdown batch through vt_cmd on the simulated school network, its twelve machines:
# each request alone, one after the other ("vt_cmd -c LINE", as the batch used to run them),
# then the same lines as one batch, its shutdown lines side by side. Prints each request's
# time, their sum, the slowest one and the batch's time, timed inside the admin namespace.
# Each round measures both ways three times: on a fresh network, where each machine's first
# request waits for its RPC services to start; again once they run; and with four machines
# already switched off. Run by hand, as root:
#   tests/benchmarks/vt_cmd_shutdown_benchmark.sh [BUILD]
# RUNS (2) rounds; VT_CMD another vt_cmd to measure (with a vt_shutdown beside it). Takes the
# simulated network's lock; a network it brought up is taken down at the end, one that was
# already up is left up with every machine on.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
vt_cmd=${VT_CMD:-$build/bin/vt_cmd}
export VTSIM_WAKE=$build/tests/vtsim_wake
machines=(SALLE1-01 SALLE1-02 SALLE1-03 SALLE1-04 SALLE2-01 SALLE2-02 SALLE2-03 SALLE2-04
          CDI-01 CDI-02 CDI-03 CDI-04)

# The daemons the network starts must not inherit the lock's descriptor.
simnet() { "$here/scripts/simnet" "$@" 9>&-; }
exec 9>/tmp/vt-simnet.lock
flock 9
work=$(mktemp -d)
brought_up=no
all_on() { for machine in "${machines[@]}"; do simnet on "$machine"; done; }
finish() {
    all_on
    if [ "$brought_up" = yes ]; then simnet down >/dev/null; fi
    rm -rf "$work"
}
if ! simnet status >/dev/null 2>&1; then
    simnet up >/dev/null
    brought_up=yes
fi
trap finish EXIT
auth=$(simnet auth-file)
cd "$work"

line() { printf 'shutdown -s -f -t 1 -c "Fin des cours" -m \\\\%s' "$1"; }
# Runs vt_cmd with the arguments in the admin namespace; prints its time in milliseconds.
timed_vt_cmd() {
    # shellcheck disable=SC2016
    simnet exec env VANTOREL_SMB_AUTH="$auth" bash -c \
        'start=$EPOCHREALTIME; "$@" >>output 2>&1; end=$EPOCHREALTIME
         echo $(((${end/./} - ${start/./}) / 1000))' _ "$vt_cmd" "$@"
}
# The machines a shutdown took off the network come back once their delay has passed.
bring_back() { sleep 3; all_on; sleep 1; }
# Machines the pupils already switched off: each request to one waits for net's time-out.
switched_off=(SALLE2-01 SALLE2-02 SALLE2-03 SALLE2-04)
switch_off() { for machine in "${switched_off[@]}"; do simnet off "$machine"; done; }

# A network set up anew: no machine's RPC services run yet.
reset() { simnet up >/dev/null; }
one_after_the_other() {
    sum=0 slowest=0 singles=""
    for machine in "${machines[@]}"; do
        ms=$(timed_vt_cmd -c "$(line "$machine")")
        singles+=" $machine=$ms"
        sum=$((sum + ms))
        if [ "$ms" -gt "$slowest" ]; then slowest=$ms; fi
    done
}
side_by_side() {
    rm -f shutdown.log
    batch=$(timed_vt_cmd "$work/shutdnSALLES.bat")
    results=$(cut -d';' -f4 shutdown.log | iconv -f WINDOWS-1252 -t UTF-8 | sort | uniq -c |
              awk '{count = $1; $1 = ""; printf "%s%s x%s", sep, substr($0, 2), count; sep = ", "}')
}
report() {
    echo "run $run, $1: one after the other${singles} ms"
    echo "run $run, $1: sum ${sum} ms, slowest ${slowest} ms (+ 1 s = $((slowest + 1000)) ms);" \
         "batch side by side ${batch} ms (shutdown.log: ${results})"
}

{
    printf 'cd %s\r\n' "$work"
    for machine in "${machines[@]}"; do printf '%s\r\n' "$(line "$machine")"; done
} >shutdnSALLES.bat
for run in $(seq 1 "${RUNS:-2}"); do
    reset
    one_after_the_other
    reset
    side_by_side
    report "first requests"
    bring_back
    one_after_the_other
    bring_back
    side_by_side
    report "services running"
    bring_back
    switch_off
    one_after_the_other
    bring_back
    switch_off
    side_by_side
    report "${#switched_off[@]} machines already off"
done
