#!/usr/bin/env bash
# A PostgreSQL 15 server of its own for the journal tests: a cluster in a temporary folder,
# listening only on a Unix socket in that folder, run by an unprivileged user (postgres refuses
# to run as root). The owner role "korvane_owner" may log in over the socket without a password.
#
#   dir=$(bash scripts/journal-test-server.sh start)   # prints the folder, also the socket folder
#   bash scripts/journal-test-server.sh halt "$dir"    # stops it, keeps the data (tests of a server away)
#   bash scripts/journal-test-server.sh resume "$dir"  # starts it again
#   bash scripts/journal-test-server.sh stop "$dir"    # stops it and removes the folder
set -euo pipefail
bin=/usr/lib/postgresql/15/bin

as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

start_server() {
  as_server_user "$bin/pg_ctl" -D "$1/data" -l "$1/server.log" -w -t 60 \
    -o "-k $1 -c listen_addresses='' -c fsync=off -c max_connections=50" start >/dev/null
}

case "${1:-}" in
start)
  dir=$(mktemp -d /tmp/korvane-pg.XXXXXX)
  chmod 755 "$dir"
  if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$dir"
  fi
  as_server_user "$bin/initdb" -D "$dir/data" -U korvane_owner --auth=trust -E UTF8 --locale=C.UTF-8 \
    >"$dir/initdb.log"
  start_server "$dir"
  echo "$dir"
  ;;
halt)
  as_server_user "$bin/pg_ctl" -D "$2/data" -m fast -w stop >/dev/null
  ;;
resume)
  start_server "$2"
  ;;
stop)
  if [ -f "$2/data/postmaster.pid" ]; then
    as_server_user "$bin/pg_ctl" -D "$2/data" -m immediate -w stop >/dev/null || true
  fi
  rm -rf "$2"
  ;;
*)
  echo "usage: $0 start | halt DIR | resume DIR | stop DIR" >&2
  exit 2
  ;;
esac
