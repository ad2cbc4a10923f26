#!/bin/sh
# dbf2csv.exe used as a person would, under Xvfb: no arguments, the
# selection dialog, a table name typed, Enter through the Y/N field, the
# progress window, the final message, the CSV. With SHOTS=DIR it also takes
# the screenshots of docs/ (the selection dialog, the progress window with
# the final message, and the error box of a damaged table).
#   tests/windows/person_run.sh WINDOWS_BUILD SCRATCH_DIR
# Needs the Wine prefix of tests/windows/run.sh (WINEPREFIX and friends set).
set -eu
exe="$(cd "$1" && pwd)/dbf2csv.exe"
work=$2
here=$(cd "$(dirname "$0")" && pwd)
shot() { [ -n "${SHOTS:-}" ] && python3 "$here/../../scripts/xwd_to_png.py" "$work/Xvfb_screen0" "$SHOTS/$1" $2 || true; }
fail() { echo "person run: $*" >&2; exit 1; }
# Waits (at most 10 s) for a visible window titled exactly $1; prints its id.
window() {
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# The rectangle of window $1 (Wine draws its frame inside), for a screenshot.
frame() { eval "$(xdotool getwindowgeometry --shell "$1")"; echo "$X $Y $WIDTH $HEIGHT"; }

mkdir -p "$work"
cd "$work"
rm -f ./* 2>/dev/null || true
display=:$(( $$ % 400 + 100 ))
Xvfb "$display" -screen 0 1024x768x24 -fbdir "$work" -nolisten tcp >xvfb.log 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=$display
# A Wine session stays bound to the display it began with.
"${WINESERVER:-wineserver}" -k 2>/dev/null || true
cp "$here/../../samples/ORDERS.DBF" "$here/../../samples/ORDERS.DBT" .

"${WINE:-wine64}" "$exe" >out.txt 2>err.txt &
program=$!
dialog=$(window "Create a Text Delimited File") || fail "no selection dialog"
xdotool mousemove 0 0
xdotool windowfocus --sync "$dialog"
xdotool type --delay 20 "orders.dbf"
sleep 0.3
shot selection_dialog.png "$(frame "$dialog")"
xdotool key Return
sleep 0.3
xdotool key Return
message=$(window "Alert") || fail "no final message"
sleep 0.3
xdotool mousemove 0 0
shot progress_and_final_message.png "$(frame "$(xdotool search --onlyvisible --name '^Create a Text Delimited File - Version' | head -1)")"
xdotool windowfocus --sync "$message"
xdotool key Return
wait $program || fail "exit code $? (standard error: $(cat err.txt))"
python3 "${ORACLE:?}" --names ORDERS.DBF >expected.csv 2>/dev/null
cmp -s expected.csv ORDERS.CSV || fail "ORDERS.CSV is not the expected output"

if [ -n "${SHOTS:-}" ]; then
  # A table cut short in its second record: the error box of the runtime error.
  python3 -c 'import struct,sys; b=open("ORDERS.DBF","rb").read(); h,r=struct.unpack("<HH",b[8:12]); open("DAMAGED.DBF","wb").write(b[:h+r+r//2])'
  cp ORDERS.DBT DAMAGED.DBT
  "${WINE:-wine64}" "$exe" DAMAGED >out.txt 2>err.txt &
  program=$!
  box=""
  for _ in $(seq 1 100); do
    box=$(xdotool search --onlyvisible --name "." 2>/dev/null | while read -r id; do
      case "$(xdotool getwindowname "$id")" in *"Default IME"*|"Create a Text"*) ;; *) echo "$id" ;; esac; done | tail -1)
    [ -n "$box" ] && break
    sleep 0.1
  done
  sleep 0.3
  xdotool mousemove 0 0
  [ -n "$box" ] && shot error_box.png "$(frame "$box")"
  "${WINESERVER:-wineserver}" -k 2>/dev/null || true
  wait $program 2>/dev/null || true
fi
echo "person run: dialog, progress, final message and CSV as expected"
