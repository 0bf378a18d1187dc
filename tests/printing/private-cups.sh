# A CUPS scheduler of the test's own, sourced by the printing tests. Its configuration,
# spool, cache, state and logs live in one fresh directory and it listens only on a
# socket there: no port to collide with, and never whatever answers on localhost:631.
# One cups-pdf queue, the default, writes its PDFs into the same directory.
#
#   private_cups_start <queue>   exports CUPS_SERVER (libcups, lpadmin, lpstat and Wine's
#                                printing all follow it) and sets PRIVATE_CUPS_PDF_DIR
#   private_cups_stop            ends the scheduler and removes everything it made
#
# Needs root: the scheduler runs the cups-pdf backend only as root. private_cups_start
# returns non-zero with the reason in PRIVATE_CUPS_ERROR.

PRIVATE_CUPS_DIR=""
PRIVATE_CUPS_PID=""
PRIVATE_CUPS_PDF_CONF=""
PRIVATE_CUPS_PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
# The backend reads its settings from this folder, by the name in the queue's address.
PRIVATE_CUPS_PDF_CONF_DIR=/etc/cups
PRIVATE_CUPS_START_SECONDS=10

private_cups_start() {
  local queue=$1 tag tool
  [[ $(id -u) -eq 0 ]] || { PRIVATE_CUPS_ERROR="only root can run the cups-pdf backend"; return 1; }
  for tool in cupsd lpadmin lpstat; do
    command -v "$tool" >/dev/null || { PRIVATE_CUPS_ERROR="$tool is not installed"; return 1; }
  done
  [[ -x /usr/lib/cups/backend/cups-pdf && -f $PRIVATE_CUPS_PPD ]] ||
    { PRIVATE_CUPS_ERROR="cups-pdf is not installed"; return 1; }
  PRIVATE_CUPS_DIR=$(mktemp -d /tmp/lacqueron-cups.XXXXXX)
  # The scheduler's filters run as its unprivileged user and must reach the spool.
  chmod 755 "$PRIVATE_CUPS_DIR"
  mkdir -p "$PRIVATE_CUPS_DIR"/{conf/ppd,spool/tmp,cache,state,log,pdf,pdf-spool}
  chmod 1777 "$PRIVATE_CUPS_DIR"/{spool/tmp,pdf,pdf-spool}
  cat >"$PRIVATE_CUPS_DIR/conf/cupsd.conf" <<CONF
Listen $PRIVATE_CUPS_DIR/socket
Browsing No
LogLevel warn
# Reached only through the socket above and gone after the test: no one to keep out.
DefaultAuthType None
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$PRIVATE_CUPS_DIR/conf/cups-files.conf" <<CONF
ServerRoot $PRIVATE_CUPS_DIR/conf
RequestRoot $PRIVATE_CUPS_DIR/spool
TempDir $PRIVATE_CUPS_DIR/spool/tmp
CacheDir $PRIVATE_CUPS_DIR/cache
StateDir $PRIVATE_CUPS_DIR/state
AccessLog $PRIVATE_CUPS_DIR/log/access_log
ErrorLog $PRIVATE_CUPS_DIR/log/error_log
PageLog $PRIVATE_CUPS_DIR/log/page_log
Printcap $PRIVATE_CUPS_DIR/state/printcap
CONF
  # The backend's settings for this queue alone: output and spool in our folder, and no
  # log in the machine's.
  tag=${PRIVATE_CUPS_DIR##*.}
  PRIVATE_CUPS_PDF_CONF="$PRIVATE_CUPS_PDF_CONF_DIR/cups-pdf-lacqueron$tag.conf"
  cat >"$PRIVATE_CUPS_PDF_CONF" <<CONF
Out $PRIVATE_CUPS_DIR/pdf
Spool $PRIVATE_CUPS_DIR/pdf-spool
AnonDirName $PRIVATE_CUPS_DIR/pdf
LogType 0
Grp root
CONF
  PRIVATE_CUPS_PDF_DIR=$PRIVATE_CUPS_DIR/pdf

  cupsd -f -c "$PRIVATE_CUPS_DIR/conf/cupsd.conf" -s "$PRIVATE_CUPS_DIR/conf/cups-files.conf" \
    >"$PRIVATE_CUPS_DIR/log/cupsd.out" 2>&1 &
  PRIVATE_CUPS_PID=$!
  export CUPS_SERVER=$PRIVATE_CUPS_DIR/socket
  local deadline=$((SECONDS + PRIVATE_CUPS_START_SECONDS))
  until lpstat -r 2>/dev/null | grep -q 'is running'; do
    if ((SECONDS >= deadline)) || ! kill -0 "$PRIVATE_CUPS_PID" 2>/dev/null; then
      PRIVATE_CUPS_ERROR="cupsd did not start: $(cat "$PRIVATE_CUPS_DIR"/log/*)"
      return 1
    fi
    sleep 0.1
  done
  if ! lpadmin -p "$queue" -E -v "cups-pdf:/lacqueron$tag" -P "$PRIVATE_CUPS_PPD" 2>"$PRIVATE_CUPS_DIR/log/lpadmin" ||
     ! lpadmin -d "$queue" 2>>"$PRIVATE_CUPS_DIR/log/lpadmin"; then
    PRIVATE_CUPS_ERROR="cannot add the queue $queue: $(cat "$PRIVATE_CUPS_DIR/log/lpadmin")"
    return 1
  fi
}

# printed <queue> <file pattern>: true once the queue is empty and a PDF whose name
# matches is in PRIVATE_CUPS_PDF_DIR; sets PRINTED_PDF to its path. For wait_for, with
# PRINTED_SECONDS.
PRINTED_SECONDS=60
printed() {
  local name
  [[ -z $(lpstat -o "$1" 2>/dev/null) ]] || return 1
  name=$(ls -1 "$PRIVATE_CUPS_PDF_DIR" | grep "$2" | head -n 1)
  [[ -n $name ]] || return 1
  PRINTED_PDF=$PRIVATE_CUPS_PDF_DIR/$name
}

private_cups_stop() {
  if [[ -n $PRIVATE_CUPS_PID ]]; then
    kill "$PRIVATE_CUPS_PID" 2>/dev/null
    wait "$PRIVATE_CUPS_PID" 2>/dev/null
    PRIVATE_CUPS_PID=""
  fi
  [[ -n $PRIVATE_CUPS_PDF_CONF ]] && rm -f "$PRIVATE_CUPS_PDF_CONF"
  [[ $PRIVATE_CUPS_DIR == /tmp/lacqueron-cups.* ]] && rm -rf "$PRIVATE_CUPS_DIR"
  PRIVATE_CUPS_DIR=""
  PRIVATE_CUPS_PDF_CONF=""
  unset CUPS_SERVER
}
