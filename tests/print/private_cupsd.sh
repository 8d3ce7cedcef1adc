# A private CUPS server for tests and benchmarks, sourced by their scripts:
# its own configuration, spool and state under one directory, loopback only,
# with one cups-pdf queue "PDF" as the default. Needs root (cupsd then runs
# its filters as lp) and the cups-daemon and printer-driver-cups-pdf packages.
#
#   cupsd_available             status 0 when a private cupsd can be started,
#                               else prints why and returns 1
#   cupsd_start DIR             starts it, exports CUPS_SERVER; status 0 on success
#   cupsd_stop                  stops it (safe to call twice)
#   cupsd_wait_idle SECONDS     waits until no job is left in the queue
#   cupsd_pdf_dir               where cups-pdf writes root's jobs
#   cupsd_spool_dir             where the held documents lie (d<job>-001)

cupsd_pid=""
cupsd_dir=""

cupsd_available() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "not root: a private cupsd needs root to run its filters as lp"
    return 1
  fi
  for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf; do
    if [ ! -x "$tool" ]; then
      echo "$tool is missing (scripts/install-deps.sh installs it)"
      return 1
    fi
  done
  if [ ! -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]; then
    echo "the cups-pdf PPD is missing"
    return 1
  fi
  return 0
}

cupsd_free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

cupsd_pdf_dir() {
  local out home
  out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
  home=$(getent passwd root | cut -d: -f6)
  out=${out:-'${HOME}/PDF'}
  echo "${out//\$\{HOME\}/$home}"
}

cupsd_start() {
  cupsd_dir="$1"
  local port
  port=$(cupsd_free_port) || return 1
  mkdir -p "$cupsd_dir"/{etc/ppd,spool/tmp,cache,state,log}
  cat >"$cupsd_dir/etc/cupsd.conf" <<CONF
LogLevel warn
MaxLogSize 0
Listen 127.0.0.1:$port
ServerName 127.0.0.1
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow from 127.0.0.1
</Location>
<Policy default>
  JobPrivateAccess default
  JobPrivateValues default
  SubscriptionPrivateAccess default
  SubscriptionPrivateValues default
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$cupsd_dir/etc/cups-files.conf" <<CONF
User lp
Group lp
SystemGroup root
ServerRoot $cupsd_dir/etc
RequestRoot $cupsd_dir/spool
TempDir $cupsd_dir/spool/tmp
CacheDir $cupsd_dir/cache
StateDir $cupsd_dir/state
ErrorLog $cupsd_dir/log/error_log
AccessLog $cupsd_dir/log/access_log
PageLog $cupsd_dir/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice No
CONF
  chgrp -R lp "$cupsd_dir"
  chmod -R g+rwX "$cupsd_dir"
  chmod 755 "$cupsd_dir"
  /usr/sbin/cupsd -f -c "$cupsd_dir/etc/cupsd.conf" -s "$cupsd_dir/etc/cups-files.conf" \
    >"$cupsd_dir/log/cupsd.out" 2>&1 &
  cupsd_pid=$!
  export CUPS_SERVER="127.0.0.1:$port"
  local i
  for i in $(seq 1 100); do
    if lpstat -r 2>/dev/null | grep -q 'is running'; then
      break
    fi
    if ! kill -0 "$cupsd_pid" 2>/dev/null; then
      echo "cupsd exited:"; cat "$cupsd_dir/log/cupsd.out" "$cupsd_dir/log/error_log" 2>/dev/null
      cupsd_pid=""
      return 1
    fi
    sleep 0.1
  done
  if ! lpadmin -p PDF -E -v cups-pdf:/ -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>"$cupsd_dir/log/lpadmin" ||
     ! lpadmin -d PDF; then
    echo "the PDF queue could not be made:"; cat "$cupsd_dir/log/error_log" 2>/dev/null
    return 1
  fi
}

cupsd_stop() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null
    wait "$cupsd_pid" 2>/dev/null
    cupsd_pid=""
  fi
}

cupsd_wait_idle() {
  local seconds="$1" i
  for i in $(seq 1 $((seconds * 10))); do
    if [ -z "$(lpstat -o 2>/dev/null)" ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

cupsd_spool_dir() { echo "$cupsd_dir/spool"; }

# One private cupsd for a whole test script: skips it (status 77) when no
# cupsd can run here; otherwise makes $tmp (a folder for the script),
# $out_dir (where cups-pdf writes) and made=() (files to remove), starts the
# server with no printer or display taken from the caller's environment, and
# stops it and removes both on exit.
cupsd_test_session() {
  local why
  if ! why=$(cupsd_available); then
    echo "SKIPPED: $why"
    exit 77
  fi
  tmp=$(mktemp -d)
  chmod 755 "$tmp"
  out_dir=$(cupsd_pdf_dir)
  made=()
  trap cupsd_test_session_end EXIT
  unset PRINTER LPDEST DISPLAY WAYLAND_DISPLAY
  if ! cupsd_start "$tmp/cups" >"$tmp/start.log" 2>&1; then
    cat "$tmp/start.log"
    echo "FAILED: the private cupsd did not start"
    exit 1
  fi
}

cupsd_test_session_end() {
  cupsd_stop
  rm -f "${made[@]}"
  rm -rf "$tmp"
}
