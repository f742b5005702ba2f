#!/usr/bin/env bash
# The main job, end to end: an unattended import into a Kora playout database.
#
# Installs what is missing and builds the program, creates a demo installation under demo/
# when there is none (configuration file, data location, an Audiowall of a few hundred carts
# with audio, a Kora database, and a week of scheduler logs from tomorrow on, with break notes
# and a few carts the Audiowall lacks), runs the headless import of the proposed range with
# "/AUTO" "/QUIT", and shows what it imported. Running it again shows the second run: every
# hour is already in the playout log and is reported as not re-sent.
#
# DEMO_ENGINE=postgres runs the same demo with the playout database on a throwaway PostgreSQL
# server (started with scripts/pg-test-server.sh, kept running beside demo-postgres/ for the
# second run; `scripts/pg-test-server.sh stop demo-postgres.server` ends it).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
engine="${DEMO_ENGINE:-sqlite}"
case "$engine" in
  sqlite) demo="${DEMO_DIR:-$root/demo}" ;;
  postgres) demo="${DEMO_DIR:-$root/demo-postgres}" ;;
  *) echo "DEMO_ENGINE must be sqlite or postgres" >&2; exit 64 ;;
esac

BUILD_DIR="$build" "$root/scripts/build.sh" vantor-logimport vantor-demo-installation

server_options=()
if [ "$engine" = postgres ]; then
  server="$demo.server"
  if ! { [ -f "$server/conninfo" ] && psql "$(cat "$server/conninfo")" -qAtc "SELECT 1" >/dev/null 2>&1; }; then
    echo "== Starting a throwaway PostgreSQL server"
    "$root/scripts/pg-test-server.sh" start "$server"
    rm -rf "$demo"  # its playout database was on a server that is gone
  fi
  conninfo="$(cat "$server/conninfo")"
  server_options=("--database-server=$conninfo")
fi

if [ ! -f "$demo/environment" ]; then
  echo "== Creating the demo installation in $demo"
  rm -rf "$demo"
  if [ "$engine" = postgres ]; then
    # A demo made before on the same server is replaced whole.
    psql "$conninfo" -qc "DROP SCHEMA IF EXISTS kora26 CASCADE" >/dev/null 2>&1 || true
    psql "$conninfo" -qc "DELETE FROM vantor_catalogue WHERE schema_name = 'kora26'" >/dev/null 2>&1 || true
  fi
  "$build/src/app/vantor-demo-installation" "$demo" 7 "${server_options[@]}" > "$demo.environment.tmp"
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

if [ "$engine" = postgres ]; then
  # The database KORA26.MDB is the schema kora26 on the server, its names in lower case.
  echo "== The playout log on $conninfo: hours and entries"
  psql "$conninfo" -P footer=off -c \
    "SELECT COUNT(*) AS entries, COUNT(*) FILTER (WHERE entrytype = 98) AS hours FROM kora26.log;"
  echo "== The first entries of the first imported hour"
  psql "$conninfo" -P footer=off -c "
    SELECT to_char(qindex, 'FM999999990.000000') AS \"QIndex\", entrytype AS \"Type\",
           hdreference AS \"Cart\", substr(description1, 1, 28) AS \"Description\",
           to_char(floor(estimatedstarttime) / 3600, 'FM00') || ':' ||
             to_char(floor(estimatedstarttime)::int % 3600 / 60, 'FM00') || ':' ||
             to_char(floor(estimatedstarttime)::int % 60, 'FM00') AS \"Starts\",
           round(estimatedlength::numeric) AS \"Seconds\"
    FROM kora26.log ORDER BY qindex LIMIT 12;"
else
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
fi
# The import ran when the status is 0 or 4; anything else is a failure of the demo.
[ "$status" -eq 0 ] || [ "$status" -eq 4 ]
