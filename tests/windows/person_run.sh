#!/bin/sh
# dbf2csv.exe used as a person would, under Xvfb: no arguments, the
# selection dialog, a table name typed, Enter through the Y/N field, the
# progress window, the final message, the CSV. The CSV must be the oracle's
# and the final message the Linux program's for the same table; the
# dialog's texts are read with window_text.exe. With SHOTS=DIR it also
# takes the screenshots of docs/ (the selection dialog, the progress window
# with the final message, and the error box of a damaged table).
#   tests/windows/person_run.sh WINDOWS_BUILD LINUX_BUILD SCRATCH_DIR
# Run by tests/windows/run.sh, which sets up the Wine prefix (WINEPREFIX,
# WINE, WINESERVER), the display (DISPLAY, XVFB_SCREEN: tests/windows/xvfb.sh)
# and ORACLE. Every wait has a bound; a failure says what was on the screen
# and leaves it in SCRATCH_DIR/failure.png.
set -eu
windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
work=$3
here=$(cd "$(dirname "$0")" && pwd)
[ -z "${SHOTS:-}" ] || SHOTS=$(cd "$SHOTS" && pwd)
title="Create a Text Delimited File"

png() { python3 "$here/../../scripts/xwd_to_png.py" "$XVFB_SCREEN" "$@"; }
shot() { [ -z "${SHOTS:-}" ] || png "$SHOTS/windows_$1" $2; }
fail() {
  echo "person run: $*"
  echo "person run: windows on the screen:"
  xdotool search --onlyvisible --name . 2>/dev/null | while read -r id; do
    echo "  $(xdotool getwindowname "$id")"
  done
  echo "person run: standard error of dbf2csv.exe: $(cat "$work/err.txt" 2>/dev/null)"
  echo "person run: processes of the Wine prefix (with their display):"
  for environ in /proc/[0-9]*/environ; do
    tr '\0' '\n' <"$environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    pid=${environ#/proc/}
    pid=${pid%/environ}
    printf '  %s %s [%s]\n' "$pid" "$(tr '\0' ' ' <"/proc/$pid/cmdline")" "$(tr '\0' '\n' <"$environ" | grep '^DISPLAY=')"
  done 2>/dev/null
  png "$work/failure.png" && echo "person run: the screen is in $work/failure.png"
  exit 1
}
# Waits (at most 60 s: the first window of a Wine session starts its
# desktop) for a visible window of dbf2csv.exe whose title matches the
# regular expression $1; prints its id.
window() {
  for _ in $(seq 1 600); do
    ours=" $(xdotool search --onlyvisible --classname '^dbf2csv\.exe$' 2>/dev/null | tr '\n' ' ') "
    for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
      case $ours in *" $id "*) echo "$id"; return 0 ;; esac
    done
    sleep 0.1
  done
  return 1
}
# What the window titled $1 says (window_text.exe), into file $2.
texts() { timeout 30 "$WINE" "$windows/tests/windows/window_text.exe" "$1" >"$2" 2>"$2.err"; }
# Waits (at least 20 s) until the window titled $1 says what file $2 holds.
says() {
  for _ in $(seq 1 100); do
    texts "$1" "$2.seen" && cmp -s "$2" "$2.seen" && return 0
    sleep 0.2
  done
  diff "$2" "$2.seen" || true
  return 1
}
# The rectangle of window $1 (Wine draws its frame inside), for a screenshot.
frame() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$X $Y $WIDTH $HEIGHT"; }

rm -rf "$work"
mkdir -p "$work/linux"
cd "$work"
cp "$here/../../samples/ORDERS.DBF" "$here/../../samples/ORDERS.DBT" .
cp ORDERS.DBF ORDERS.DBT linux/
# What the Linux program writes and says for the same table.
(cd linux && DBF2CSV_UI=headless "$linux/dbf2csv" ORDERS.DBF Y >/dev/null 2>message.txt) ||
  fail "the Linux program failed: $(cat linux/message.txt)"
python3 "${ORACLE:?}" --names ORDERS.DBF >expected.csv 2>oracle.err

# The program is ended after 120 s, whatever it waits for.
timeout -k 5 120 "$WINE" "$windows/dbf2csv.exe" >out.txt 2>err.txt &
program=$!
dialog=$(window "^$title\$") || fail "no selection dialog"
xdotool mousemove 0 0
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "orders.dbf"
# The name upper-cased as typed ("@!"), the flag's default, the table
# field's help.
cat >dialog.txt <<EOF
Select Table     
ORDERS.DBF
...
Place Field Names on First line of Delimited File
Y
Enter the name of the table to create a delimited file from.

Use the [...] button to tag a name.
OK
Cancel
EOF
says "$title" dialog.txt || fail "the selection dialog does not show the name typed"
shot selection_dialog.png "$(frame "$dialog")"
# Enter leaves the table's field for the flag's (its help shows), and Enter
# there confirms.
xdotool key Return
sed -e '6,8d' -e '5a\
If you enter yes, the first line of the delimited file will\
contain the names of the fields.' dialog.txt >flag.txt
says "$title" flag.txt || fail "Enter has not moved to the Y/N field"
xdotool key Return
message=$(window '^Alert$') || fail "no final message"
# The progress window stays under the final message until it is answered.
progress=$(window "^$title - Version ") || fail "no progress window under the final message"
{ cat linux/message.txt; echo OK; } >final.txt
says Alert final.txt || fail "the final message is not the Linux program's"
xdotool mousemove 0 0
shot progress_and_final_message.png "$(frame "$progress")"
xdotool windowfocus --sync "$message"
xdotool key Return
status=0
wait $program || status=$?
[ $status -eq 0 ] || fail "exit code $status"
cmp expected.csv ORDERS.CSV || fail "ORDERS.CSV is not the oracle's output"
cmp linux/ORDERS.CSV ORDERS.CSV || fail "ORDERS.CSV is not the Linux program's output"

if [ -n "${SHOTS:-}" ]; then
  # A table cut short in its second record: the error box of the runtime error.
  python3 -c 'import struct,sys; b=open("ORDERS.DBF","rb").read(); h,r=struct.unpack("<HH",b[8:12]); open("DAMAGED.DBF","wb").write(b[:h+r+r//2])'
  cp ORDERS.DBT DAMAGED.DBT
  timeout -k 5 120 "$WINE" "$windows/dbf2csv.exe" DAMAGED >out.txt 2>err.txt &
  program=$!
  box=$(window '^Runtime Error Message$') || fail "no error box"
  xdotool mousemove 0 0
  sleep 0.3
  shot error_box.png "$(frame "$box")"
  xdotool windowfocus --sync "$box"
  xdotool key Return  # Abort
  # Then the notice of the log, a box without a title.
  notice=$(window '^$') || fail "no notice of the error log"
  xdotool windowfocus --sync "$notice"
  xdotool key Return
  wait $program || true
fi
echo "person run: dialog, progress, final message and CSV as expected"
