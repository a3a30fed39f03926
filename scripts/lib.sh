# Shared by the scripts: the project's Wine prefix and a private X server.
# shellcheck shell=bash

LORK2_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${LORK2_WINEPREFIX:-$LORK2_ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LC_ALL=ru_RU.UTF-8

# Creates the prefix when missing, with the settings tests and screenshots need.
lork2_ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.lork2-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w
      mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
      cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
      local reg="$WINEPREFIX/lork2.reg"
      printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
        '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Decorated"="N"' '"Managed"="N"' '' \
        > "$reg"
      wine regedit /S "$reg" >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.lork2-ready"
    fi
    # Drive R: is a CD-ROM drive on a folder of the build, for the tests of
    # files on drives that are not fixed disks.
    if [ ! -f "$WINEPREFIX/.lork2-cdrom" ]; then
      local cd="$WINEPREFIX/lork2-cdrom.reg"
      printf '%s\r\n' 'REGEDIT4' '' '[HKEY_LOCAL_MACHINE\Software\Wine\Drives]' '"r:"="cdrom"' '' > "$cd"
      wine regedit /S "$cd" >/dev/null 2>&1
      wineserver -w
      touch "$WINEPREFIX/.lork2-cdrom"
    fi
    mkdir -p "$WINEPREFIX/cdrom"
    [ -L "$WINEPREFIX/dosdevices/r:" ] || ln -s ../cdrom "$WINEPREFIX/dosdevices/r:"
  ) 9>"$WINEPREFIX.lock"
}

# Starts a private Xvfb when there is no display; sets LORK2_XVFB_PID.
lork2_ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    LORK2_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$LORK2_XVFB_PID" 2>/dev/null || true
  done
  echo "no X server could be started" >&2
  return 1
}

lork2_stop_display() {
  if [ -n "${LORK2_XVFB_PID:-}" ]; then
    kill "$LORK2_XVFB_PID" 2>/dev/null || true
    wait "$LORK2_XVFB_PID" 2>/dev/null || true
    unset LORK2_XVFB_PID
  fi
}

# Waits up to 15 s for a window whose title matches the pattern, then gives
# it the keyboard focus; prints its X id. Fails when none appears.
lork2_wait_window() {
  local pattern=$1 wid=""
  for _ in $(seq 1 150); do
    wid=$(xdotool search --name -- "$pattern" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
  done
  [ -n "$wid" ] || return 1
  sleep 1
  xdotool windowfocus --sync "$wid" 2>/dev/null || true
  echo "$wid"
}

# Waits up to 5 s for the process to end; fails when it is still running.
lork2_wait_exit() {
  local pid=$1
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  ! kill -0 "$pid" 2>/dev/null
}

# A private print server for the printing tests: cupsd with its own
# configuration, spool and socket under build/cups, one CUPS-PDF queue as its
# default printer, and CUPS_SERVER pointing at its socket so that Wine (and
# lp) see that printer and nothing else. Printed jobs land as PDF files in
# LORK2_PDF_DIR. Sets LORK2_CUPSD_PID; needs root (the PDF backend runs as
# root) and the packages cups and printer-driver-cups-pdf.
lork2_ensure_printer() {
  if [ -n "${LORK2_CUPSD_PID:-}" ] && kill -0 "$LORK2_CUPSD_PID" 2>/dev/null; then
    return 0
  fi
  command -v cupsd >/dev/null && [ -e /usr/lib/cups/backend/cups-pdf ] || return 1
  local dir="$LORK2_ROOT/build/cups"
  # The queue name tells the backend which configuration file to read
  # (/etc/cups/cups-pdf-QUEUE.conf); one per work tree.
  local queue
  queue="LORK2-PDF-$(printf '%s' "$LORK2_ROOT" | md5sum | cut -c1-8)"
  rm -rf "$dir/spool" "$dir/run"
  mkdir -p "$dir/etc/ppd" "$dir/spool/tmp" "$dir/cache" "$dir/log" "$dir/run" "$dir/pdf"
  chmod 0755 "$dir" "$dir/run"
  chmod 1777 "$dir/pdf" "$dir/spool/tmp"
  printf '%s\n' \
    "Listen $dir/run/cups.sock" \
    'LogLevel warn' 'MaxLogSize 1m' 'Browsing No' 'DefaultAuthType None' 'WebInterface No' \
    'MaxJobs 0' 'PreserveJobFiles No' 'PreserveJobHistory No' \
    '<Location />' '  Order allow,deny' '  Allow all' '</Location>' \
    '<Policy default>' '  <Limit All>' '    Order allow,deny' '    Allow all' '  </Limit>' '</Policy>' \
    > "$dir/etc/cupsd.conf"
  printf '%s\n' \
    "ServerRoot $dir/etc" "RequestRoot $dir/spool" "TempDir $dir/spool/tmp" "CacheDir $dir/cache" \
    "StateDir $dir/run" "AccessLog $dir/log/access_log" "ErrorLog $dir/log/error_log" \
    "PageLog $dir/log/page_log" 'SystemGroup root' 'FileDevice Yes' \
    > "$dir/etc/cups-files.conf"
  printf '%s\n' "Out $dir/pdf" 'Label 0' 'UserUMask 0000' "Log $dir/log" 'LogType 1' \
    > "/etc/cups/cups-pdf-$queue.conf"
  cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
  LORK2_CUPSD_PID=$!
  export CUPS_SERVER="$dir/run/cups.sock"
  export LORK2_PDF_DIR="$dir/pdf"
  export LORK2_PRINTER="$queue"
  local i
  for i in $(seq 1 100); do
    [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
  done
  lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd \
    -o printer-error-policy=abort-job &&
    lpadmin -d "$queue" && cupsenable "$queue" && cupsaccept "$queue"
}

lork2_stop_printer() {
  if [ -n "${LORK2_CUPSD_PID:-}" ]; then
    kill "$LORK2_CUPSD_PID" 2>/dev/null || true
    wait "$LORK2_CUPSD_PID" 2>/dev/null || true
    unset LORK2_CUPSD_PID
  fi
}
