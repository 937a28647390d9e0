# A private CUPS server for the printing tests, beside (never instead of) a
# system CUPS: its own configuration, spool and logs in a temporary
# directory, listening only on a unix socket there.
#
#   source tools/cups_test_server.sh
#   cups_test_server_start   # non-zero when cupsd cannot be started
#   ...                      # CUPS_SERVER points at the private server
#   cups_test_server_stop
#
# Queues (both "Generic PDF Printer", which keeps the PDF as the program
# wrote it; the file device writes each job's output to one file):
#   TessivoPDF     default destination, A4 by default -> $TESSIVO_CUPS_OUTPUT_DIR/TessivoPDF.pdf
#   TessivoLetter  Letter by default                  -> $TESSIVO_CUPS_OUTPUT_DIR/TessivoLetter.pdf
# Exported while running: CUPS_SERVER, LPDEST, PRINTER, TESSIVO_CUPS_DIR,
# TESSIVO_CUPS_OUTPUT_DIR. Must run as root (as in CI), since cupsd insists
# on owning its spool.

_cups_test_find_ppd() {
  local ppd
  for ppd in /usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd \
             /usr/share/cups/model/Generic-PDF_Printer-PDF.ppd; do
    [ -f "$ppd" ] && { echo "$ppd"; return 0; }
  done
  ppd="$(find /usr/share/ppd /usr/share/cups/model -iname '*generic*pdf*.ppd*' 2>/dev/null | head -n1)"
  [ -n "$ppd" ] && { echo "$ppd"; return 0; }
  return 1
}

cups_test_server_start() {
  if [ -n "${TESSIVO_CUPS_PID:-}" ] && kill -0 "$TESSIVO_CUPS_PID" 2>/dev/null; then
    return 0
  fi
  local cupsd ppd dir
  cupsd="$(command -v cupsd || echo /usr/sbin/cupsd)"
  if [ ! -x "$cupsd" ] || ! command -v lpadmin >/dev/null; then
    echo "cups_test_server: cupsd or lpadmin missing (packages cups, cups-client)" >&2
    return 1
  fi
  if [ "$(id -u)" -ne 0 ]; then
    echo "cups_test_server: a private cupsd needs root" >&2
    return 1
  fi
  ppd="$(_cups_test_find_ppd)" || {
    echo "cups_test_server: Generic PDF Printer PPD not found (package cups-filters)" >&2
    return 1
  }
  dir="$(mktemp -d /tmp/tessivo-cups-XXXXXX)" || return 1
  mkdir -p "$dir"/{spool/tmp,cache,state,log,ppd,out}
  # Filters run as the unprivileged user lp: it must reach the spool and
  # write the output files.
  chmod 755 "$dir"
  chmod 1777 "$dir/spool/tmp" "$dir/out"
  chown -R root:lp "$dir/spool" "$dir/cache" 2>/dev/null || true
  chmod 0710 "$dir/spool"

  cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
ServerName $dir/cups.sock
LogLevel warn
MaxLogSize 0
WebInterface No
Browsing No
BrowseLocalProtocols none
DefaultAuthType None
DefaultEncryption Never
PreserveJobHistory Yes
PreserveJobFiles No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
CONF
  cat >"$dir/cups-files.conf" <<CONF
FileDevice Yes
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
SystemGroup root
Sandboxing Relaxed
CONF
  chmod 640 "$dir/cupsd.conf" "$dir/cups-files.conf"

  "$cupsd" -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  local pid=$!
  local i
  for i in $(seq 100); do
    [ -S "$dir/cups.sock" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -S "$dir/cups.sock" ]; then
    echo "cups_test_server: cupsd did not start; log:" >&2
    cat "$dir/log/cupsd.out" "$dir/log/error_log" 2>/dev/null | tail -n 20 >&2
    kill "$pid" 2>/dev/null
    rm -rf "$dir"
    return 1
  fi

  TESSIVO_CUPS_SAVED_SERVER="${CUPS_SERVER-__unset__}"
  TESSIVO_CUPS_SAVED_LPDEST="${LPDEST-__unset__}"
  TESSIVO_CUPS_SAVED_PRINTER="${PRINTER-__unset__}"
  export TESSIVO_CUPS_PID="$pid"
  export TESSIVO_CUPS_DIR="$dir"
  export TESSIVO_CUPS_OUTPUT_DIR="$dir/out"
  export CUPS_SERVER="$dir/cups.sock"

  # (lpadmin warns that PPD drivers are deprecated: kept in its log.)
  if ! lpadmin -p TessivoPDF -E -v "file://$dir/out/TessivoPDF.pdf" -P "$ppd" \
         -o PageSize=A4 -o printer-is-shared=false 2>>"$dir/log/lpadmin" ||
     ! lpadmin -p TessivoLetter -E -v "file://$dir/out/TessivoLetter.pdf" -P "$ppd" \
         -o PageSize=Letter -o printer-is-shared=false 2>>"$dir/log/lpadmin" ||
     ! lpadmin -d TessivoPDF 2>>"$dir/log/lpadmin"; then
    echo "cups_test_server: the test queues could not be set up; log:" >&2
    tail -n 20 "$dir/log/lpadmin" "$dir/log/error_log" >&2 2>/dev/null
    cups_test_server_stop
    return 1
  fi
  # libcups prefers these over the server's default destination.
  export LPDEST=TessivoPDF PRINTER=TessivoPDF
  return 0
}

cups_test_server_stop() {
  [ -n "${TESSIVO_CUPS_PID:-}" ] || return 0
  kill "$TESSIVO_CUPS_PID" 2>/dev/null || true
  local i
  for i in $(seq 50); do
    kill -0 "$TESSIVO_CUPS_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$TESSIVO_CUPS_PID" 2>/dev/null || true
  [ -n "${TESSIVO_CUPS_DIR:-}" ] && rm -rf "$TESSIVO_CUPS_DIR"
  local name saved
  for name in CUPS_SERVER LPDEST PRINTER; do
    saved="TESSIVO_CUPS_SAVED_$name"
    saved="${!saved-__unset__}"
    if [ "$saved" = "__unset__" ]; then unset "$name"; else export "$name=$saved"; fi
  done
  unset TESSIVO_CUPS_PID TESSIVO_CUPS_DIR TESSIVO_CUPS_OUTPUT_DIR
  unset TESSIVO_CUPS_SAVED_SERVER TESSIVO_CUPS_SAVED_LPDEST TESSIVO_CUPS_SAVED_PRINTER
  return 0
}
