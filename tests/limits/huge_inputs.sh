#!/usr/bin/env bash
# Inputs that pass the sizes the program can hold, too large for `make
# test` (each needs a few gigabytes of memory or disk and up to a minute;
# about two minutes in all):
# every one must end with its error and status and write no program text,
# never wrap a size, abort or grow without end.
#
#   bash tests/limits/huge_inputs.sh [path/to/bprep2]     (default build/bprep2)
set -u
exe=$(realpath "${1:-build/bprep2}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

# expect NAME STATUS STDERR -- COMMAND...
expect() {
    local name=$1 status=$2 err=$3
    shift 4
    local start=$SECONDS
    "$@" >out.txt 2>err.txt
    local got=$?
    if [ "$got" != "$status" ] || [ "$(cat err.txt)" != "$err" ] || [ -s out.txt ]; then
        echo "FAIL $name: status $got, $(wc -c <out.txt) bytes out, stderr: $(head -c 300 err.txt)"
        failures=$((failures + 1))
    else
        echo "ok   $name ($((SECONDS - start)) s)"
    fi
}

# A device without end is one line that never ends.
expect "endless line" 1 "bprep2: Error Line length exceeds maximum of 2147483647 bytes" -- \
    "$exe" /dev/zero

# A source of a few lines using an equate of 1 MiB 4,096 times holds more
# token text than a token can point into: it must not wrap to other text.
python3 - <<'PY'
with open("equates.b", "w") as f:
    f.write('EQUATE BIG TO "' + "x" * (1 << 20) + '"\n')
    f.write('PRINT "MARKER_ONE"\n')
    for _ in range(4096):
        f.write("PRINT BIG\n")
PY
expect "token text past 4 GiB" 1 "bprep2: Error Token text exceeds maximum of 4294967295 bytes" -- \
    "$exe" equates.b

# A source that is mostly a hole is read, not reserved for.
printf '#endif\n' >hole.b
truncate -s 1600M hole.b
expect "1.6 GB hole" 1 "#endif
------^
bprep2: Error #endif seen outside a conditional block: Line 1 in file hole.b" -- "$exe" hole.b

[ "$failures" = 0 ] && echo "all passed" || { echo "$failures failed"; exit 1; }
