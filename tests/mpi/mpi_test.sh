#!/usr/bin/env bash
# varnet-mpi against varnet: for 1, 2 and 3 ranks the same result files, byte for byte (jackknife
# replicates and copies paired by context included), and the same console text (the timing line's number masked); a bad input
# reported once, by rank 0, with the one-process text and exit status 1 on every rank; a failing
# rank's error reported the same way. Every job must end within a minute.
#   mpi_test.sh MPIRUN VARNET VARNET_MPI GENERATOR EXAMPLES_DIR
set -euo pipefail
varnet="$2" varnet_mpi="$3" generate="$4" examples="$5"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

mpirun=("$1" -q --oversubscribe)
[ "$(id -u)" -eq 0 ] && mpirun+=(--allow-run-as-root)
printf '[weights]\nspecial=1\nbreakpoint=0.5\n' >distance_weights.ini
cp "$examples/tree_six.txt" "$examples/operation_weights.txt" .
"$generate" 40 150 7 0.05 0.05 >forty.txt
printf '2\nA 1 L2 +a+b\nB 1 L3 +a\n' >bad.txt

# run NAME COMMAND...: the result directory NAME, NAME.out, NAME.err and NAME.status.
run() {
    local name="$1" status=0
    shift
    timeout 60 "$@" -o operation_weights.txt -r "$name" >"$name.out" 2>"$name.err" || status=$?
    echo "$status" >"$name.status"
    sed -i 's/^\(Time of matrix calculation: \).* seconds$/\1T seconds/' "$name.out"
}

# same ONE OTHER: fails unless the two runs gave the same files, console text and status.
same() {
    [ "$(cat "$2.status")" != 124 ] || { echo "FAILED: $2 timed out"; exit 1; }
    diff -r "$1" "$2" && cmp "$1.out" "$2.out" && cmp "$1.err" "$2.err" &&
        cmp "$1.status" "$2.status" || { echo "FAILED: $2 differs from $1"; exit 1; }
}

cases=("-c tree_six.txt -p nj -f 1" "-c forty.txt -p upgma -f 1" "-c forty.txt -p kruskal"
       "-c forty.txt -p nj -b 2 --seed 3" "-c forty.txt -p nj --copies context")
for c in 0 1 2 3 4; do
    # shellcheck disable=SC2086
    run "one$c" "$varnet" -m tree ${cases[$c]}
    [ "$(cat "one$c.status")" = 0 ] && [ -s "one$c/tree.tre" ] || { echo "FAILED: one$c"; exit 1; }
    for ranks in 1 2 3; do
        # shellcheck disable=SC2086
        run "mpi$c-$ranks" "${mpirun[@]}" -np "$ranks" "$varnet_mpi" -m tree ${cases[$c]}
        same "one$c" "mpi$c-$ranks"
    done
done

# A reader's error, and structures that cannot be compared, every one of them named.
printf '3\nA 1 L0 +a\nB 1 L1 +a\nC 1 L0 +b\n' >empty.txt
for bad in "bad:line 3" "empty:2 structures cannot be compared"; do
    run "one-${bad%%:*}" "$varnet" -m tree -c "${bad%%:*}.txt"
    run "mpi-${bad%%:*}" "${mpirun[@]}" -np 3 "$varnet_mpi" -m tree -c "${bad%%:*}.txt"
    same "one-${bad%%:*}" "mpi-${bad%%:*}"
    grep -q "^Error occured: ${bad#*:}" "one-${bad%%:*}.err" || { echo "FAILED: $bad"; exit 1; }
done

# Ranks 1 and 2 cannot start their workers: rank 0 reports their failure, and nothing is written.
run mpi-rank "${mpirun[@]}" -np 1 "$varnet_mpi" -m tree -c forty.txt -o operation_weights.txt \
    -r mpi-rank : -np 2 -x VARNET_THREADS=none "$varnet_mpi" -m tree -c forty.txt
printf 'Parsing parameters: \nDone.\nError occured: VARNET_THREADS must be a whole number from 1 to 4096, not "none"' |
    cmp - mpi-rank.err && [ "$(cat mpi-rank.status)" = 1 ] && [ ! -e mpi-rank/distance.tsv ] ||
    { echo "FAILED: a failing rank"; cat mpi-rank.err; exit 1; }
echo "varnet-mpi gave the one-process results"
