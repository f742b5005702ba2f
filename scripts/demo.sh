#!/usr/bin/env bash
# The main job, end to end: an unattended import into a Kora playout database.
#
# Installs what is missing and builds the program, creates a demo installation under demo/
# when there is none (configuration file, data location, an Audiowall of a few hundred carts
# with audio, a Kora database, and a week of scheduler logs from tomorrow on, with break notes
# and a few carts the Audiowall lacks), runs the headless import of the proposed range with
# "/AUTO" "/QUIT", and shows what it imported. Running it again shows the second run: every
# hour is already in the playout log and is reported as not re-sent.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
demo="${DEMO_DIR:-$root/demo}"

BUILD_DIR="$build" "$root/scripts/build.sh" vantor-logimport vantor-demo-installation

if [ ! -f "$demo/environment" ]; then
  echo "== Creating the demo installation in $demo"
  rm -rf "$demo"
  "$build/src/app/vantor-demo-installation" "$demo" 7 > "$demo.environment.tmp"
  mv "$demo.environment.tmp" "$demo/environment"
fi
set -a
# shellcheck disable=SC1091
. "$demo/environment"
set +a

echo "== vantor-logimport --headless KORA26.MDB /AUTO /QUIT"
status=0
"$build/src/app/vantor-logimport" --headless KORA26.MDB /AUTO /QUIT || status=$?
echo "== exit status $status (0 imported, 4 imported with an error report, see --help)"

echo "== history.log (last lines)"
tail -n 4 "$VANTOR_PROGRAM_DIR/history.log" || true

database="$demo/data/SCHEDULE/KORA26.MDB"
echo "== The playout log: hours and entries"
sqlite3 -header -column "$database" \
  "SELECT COUNT(*) AS entries, SUM(EntryType = 98) AS hours FROM Log;"
echo "== The first entries of the first imported hour"
sqlite3 -header -column "$database" "
  SELECT printf('%.6f', QIndex) AS QIndex, EntryType AS Type, HDReference AS Cart,
         substr(Description1, 1, 28) AS Description,
         printf('%02d:%02d:%02d', CAST(EstimatedStartTime AS INTEGER) / 3600,
                CAST(EstimatedStartTime AS INTEGER) % 3600 / 60,
                CAST(EstimatedStartTime AS INTEGER) % 60) AS Starts,
         printf('%.0f', EstimatedLength) AS Seconds
  FROM Log ORDER BY QIndex LIMIT 12;"
# The import ran when the status is 0 or 4; anything else is a failure of the demo.
[ "$status" -eq 0 ] || [ "$status" -eq 4 ]
