#!/usr/bin/env bash
# zrk print --pdf ended part way: an interrupt, termination, hang-up or quit
# removes the output's temporary file (and the private copy of the data)
# before the process ends as the signal ends it; after a kill that cannot be
# caught, the next output into the folder removes the stale temporary file.
set -u
zrk=$(realpath "$1")
data=$(realpath "$2")
examples="$data/../../examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../support/expect.sh"
export XDG_RUNTIME_DIR="$tmp/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$tmp/out" "$tmp/cwd"
cd "$tmp/cwd" || exit 1
ulimit -c 0 # SIGQUIT would leave a core file
form="$examples/invoice.zrk"
# A long job: the example's three pages, 3,000 times over.
for _ in $(seq 1000); do cat "$examples/invoice.dat"; done >"$tmp/long.dat"

# Background jobs as a terminal starts them: a shell without job control
# starts them with SIGINT and SIGQUIT ignored.
set -m
# Any hidden file beside the output is the job's temporary file.
temporary() { find "$tmp/out" -maxdepth 1 -name '.*' -type f -size +0 | head -n 1; }
# Waits until the job writes pages into its temporary file.
writing() {
  local _
  for _ in $(seq 400); do
    [ -n "$(temporary)" ] && return 0
    sleep 0.05
  done
  return 1
}

while read -r signal status input; do
  if [ "$input" = - ]; then
    "$zrk" print "$form" - --pdf "$tmp/out/long.pdf" --quiet <"$tmp/long.dat" 2>/dev/null &
  else
    "$zrk" print "$form" "$tmp/long.dat" --pdf "$tmp/out/long.pdf" --quiet 2>/dev/null &
  fi
  pid=$!
  expect "$signal: the job writes its temporary file" writing
  kill -"$signal" "$pid"
  wait "$pid"
  expect "$signal: ended by the signal" test $? -eq "$status"
  expect "$signal: nothing left beside the output" test -z "$(ls -A "$tmp/out")"
  expect "$signal: no private copy left" test -z "$(ls -A "$XDG_RUNTIME_DIR")"
done <<EOF
INT 130 file
TERM 143 file
HUP 129 file
QUIT 131 file
TERM 143 -
INT 130 -
EOF

# SIGKILL cannot be caught: the temporary file stays. Aged by an hour it is
# taken for left over by the next output into the folder; a young one (a job
# that may still run) and other programs' files stay.
killed_temporary() {
  "$zrk" print "$form" "$tmp/long.dat" --pdf "$tmp/out/long.pdf" --quiet 2>/dev/null &
  local pid=$! name='' _
  for _ in $(seq 400); do
    name=$(find "$tmp/out" -maxdepth 1 -name '.zrk-tmp-*' -size +0 ! -name "${1:-none}" | head -n 1)
    [ -n "$name" ] && break
    sleep 0.05
  done
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null
  echo "$name"
}
young=$(killed_temporary)
expect "KILL: the temporary file stays" test -s "$young"
stale=$(killed_temporary "$(basename "$young")")
expect "KILL: a second one stays" test -s "$stale" -a "$stale" != "$young"
touch -c -d '2 hours ago' "$stale"
touch -d '2 hours ago' "$tmp/out/.tmp-Others12" "$tmp/out/notes.txt"
"$zrk" print "$form" "$examples/invoice.dat" --pdf "$tmp/out/short.pdf"
expect "short job done" test $? -eq 0 -a -s "$tmp/out/short.pdf"
expect "stale temporary file removed" test ! -e "$stale"
expect "young temporary file kept" test -e "$young"
expect "others' files kept" test -e "$tmp/out/.tmp-Others12" -a -e "$tmp/out/notes.txt"
expect "nothing else left" test "$(ls -A "$tmp/out" | wc -l)" -eq 4

finish
