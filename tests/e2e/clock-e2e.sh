#!/bin/bash
# The real program in a real window under Xvfb, driven by the keyboard with xdotool:
# an arrival, the departure at the next start, and an open record left over from
# yesterday, each checked in the SQLite file with the sqlite3 command.
#
#   clock-e2e.sh ZEITERFASSUNG ZEITERFASSUNG-ADMIN
#
# Exit status 77 (a skip for CTest) when Xvfb, xdotool, xprop or sqlite3 is missing.
set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 ZEITERFASSUNG ZEITERFASSUNG-ADMIN" >&2
    exit 2
fi
program=$1
admin=$2
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdotool xprop sqlite3; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps installs it)"
        exit 77
    fi
done

# shellcheck source=x11-session.sh
. "$here/x11-session.sh"

work=$(mktemp -d)
app="$work/app"
db="$app/zeiten.db"
clock_pid=""

cleanup() {
    if [ -n "$clock_pid" ] && kill -0 "$clock_pid" 2>/dev/null; then
        kill -9 "$clock_pid" 2>/dev/null
        wait "$clock_pid" 2>/dev/null
    fi
    x11_stop
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
step() {
    echo "--- $*"
}

sql() {
    sqlite3 -batch -noheader -separator '|' "$db" "$@"
}

# Starts the clock from its own directory, as a user would, with the platform's X display.
launch() {
    (cd "$app" && exec env -u QT_QPA_PLATFORM ./Zeiterfassung) >>"$work/clock.log" 2>&1 &
    clock_pid=$!
}

# Waits for the clock to end by itself and checks that it ended with status 0.
expect_exit_zero() {
    local status
    x11_wait_exit "$clock_pid" 20
    status=$?
    if [ $status -eq 124 ]; then
        fail "$1: the program did not end after the last key"
        kill -9 "$clock_pid" 2>/dev/null
        wait "$clock_pid" 2>/dev/null
    elif [ $status -ne 0 ]; then
        fail "$1: exit status $status"
    fi
    clock_pid=""
}

# Checks a condition on the database: the select must give exactly the expected text.
expect_sql() {
    local what=$1 expected=$2 select=$3 actual
    actual=$(sql "$select")
    if [ "$actual" != "$expected" ]; then
        fail "$what: expected '$expected', found '$actual'"
    fi
}

# Whether a stored time is the captured minute moved by the correction: the minute lies
# between the minute of the launch and that of the visible window.
#   time_within COLUMN CORRECTION LAUNCHED SHOWN TOLERANCE
time_within() {
    echo "abs($1*1440 - round($1*1440)) < $5*1440
      and $1 - $2/1440.0 >= cast($3*1440 as integer)/1440.0 - $5
      and $1 - $2/1440.0 <= cast($4*1440 as integer)/1440.0 + $5"
}

mkdir -p "$app"
cp "$program" "$app/Zeiterfassung"
"$admin" init --db "$db" >/dev/null || exit 1
logon=$(id -un)
maid=$("$admin" employee add --db "$db" --logon "$logon" --first Erika --last Muster) || exit 1
"$admin" config --ini "$app/Zeiterfassung.ini" --db "$db" >/dev/null || exit 1
x11_start "$work" || exit 1
echo "Xvfb on $DISPLAY, employee $maid is '$logon'"

step "arrival: remark, correction +3, Enter"
launched=$(x11_now)
launch
if wid=$(x11_wait_window Zeiterfassung "$clock_pid"); then
    shown=$(x11_now)
    geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
    [ "$geometry" = "454x145" ] || fail "arrival: window of $geometry, not 454x145"
    if x11_focus "$wid"; then
        # Tab order: Richtung, Bemerkung, BitBtn1, Korrektur.
        xdotool key Tab
        xdotool type --delay 10 "Fruehdienst am Tor"
        xdotool key Tab Tab Up Up Up Up Down Return
    else
        fail "arrival: no focus"
    fi
    expect_exit_zero arrival
    expect_sql "arrival: the one new record" "1|$maid|1|3|Fruehdienst am Tor|||" \
        "select ID, MAid, Anwesend, KorrekturKommt, Bemerkung, Zeitgeht, Korrekturgeht,
                Bemerkung2 from Zeiten"
    expect_sql "arrival: Zeitkommt is the window's minute plus 3" 1 \
        "select count(*) from Zeiten where $(time_within Zeitkommt 3 "$launched" "$shown" 1e-9)"
else
    fail "arrival: no window"
fi

step "departure at the next start: remark with colon and quote, correction -2, Enter"
launched=$(x11_now)
launch
if wid=$(x11_wait_window Zeiterfassung "$clock_pid"); then
    shown=$(x11_now)
    if x11_focus "$wid"; then
        xdotool key Tab
        xdotool type --delay 10 "Termin: Arzt's Praxis"
        xdotool key Tab Tab Down Down Return
    else
        fail "departure: no focus"
    fi
    expect_exit_zero departure
    expect_sql "departure: the record closed, its arrival kept" \
        "1|$maid|0|3|Fruehdienst am Tor|-2|Termin: Arzt's Praxis" \
        "select ID, MAid, Anwesend, KorrekturKommt, Bemerkung, Korrekturgeht, Bemerkung2
           from Zeiten"
    # The departure time travels as a number of 15 significant digits.
    expect_sql "departure: Zeitgeht is the window's minute minus 2" 1 \
        "select count(*) from Zeiten where $(time_within Zeitgeht -2 "$launched" "$shown" 1e-7)"
else
    fail "departure: no window"
fi

step "an open record from yesterday: message, Enter, end, nothing changed"
# The employee's latest record decides, so yesterday's open record is the only one.
sql "delete from Zeiten"
sql "insert into Zeiten (MAid, Anwesend, Zeitkommt, KorrekturKommt)
     values ($maid, 1, cast(julianday('now', 'localtime') - 2415018.5 as integer) - 1
                       + 8/24.0, 0)"
sqlite3 "$db" .dump >"$work/before.sql"
launch
if wid=$(x11_wait_window Zeiterfassung "$clock_pid"); then
    # The message comes while the clock window is being made, before it is shown: the one
    # window titled like the program is the message box.
    geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
    [ "$geometry" != "454x145" ] || fail "stale record: the clock window showed, not the message"
    xprop -id "$wid" _NET_WM_WINDOW_TYPE | grep -q _NET_WM_WINDOW_TYPE_DIALOG ||
        fail "stale record: the window is no message box"
    count=$(xdotool search --onlyvisible --name '^Zeiterfassung$' | wc -l)
    [ "$count" -eq 1 ] || fail "stale record: $count windows titled Zeiterfassung"
    if x11_focus "$wid"; then
        xdotool key Return
    else
        fail "stale record: no focus"
    fi
    expect_exit_zero "stale record"
    sqlite3 "$db" .dump >"$work/after.sql"
    cmp -s "$work/before.sql" "$work/after.sql" || fail "stale record: the database changed"
else
    fail "stale record: no message box"
fi

if [ $failures -ne 0 ]; then
    echo "--- output of the program:" >&2
    cat "$work/clock.log" >&2
    exit 1
fi
echo "PASS"
