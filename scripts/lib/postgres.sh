# Starts a throw-away PostgreSQL server on 127.0.0.1 for the tests and exports
# KPS_TEST_PG_PORT, KPS_TEST_PG_DATABASE, KPS_TEST_PG_USER, KPS_TEST_PG_PASSWORD,
# and a second login whose password holds connection-string punctuation:
# KPS_TEST_PG_ODD_USER, KPS_TEST_PG_ODD_PASSWORD. kps_pg_start_standby adds a
# hot standby of it and exports KPS_TEST_PG_STANDBY_PORT.
# Source it, then call kps_pg_start; kps_pg_stop runs on exit.

kps_pg_bin() { ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1; }

kps_pg_start() {
    local bin; bin=$(kps_pg_bin)
    [ -n "$bin" ] || { echo "PostgreSQL is not installed" >&2; return 1; }
    KPS_PG_DIR=$(mktemp -d /tmp/kps-pg.XXXXXX)
    local port=$((20000 + RANDOM % 20000))
    local run=()
    if [ "$(id -u)" -eq 0 ]; then
        chown postgres: "$KPS_PG_DIR"
        run=(runuser -u postgres --)
    fi
    # Logins over TCP need the real password, so a wrong one is refused as it
    # would be at an outlet; the set-up below uses the local socket.
    "${run[@]}" "$bin/initdb" -D "$KPS_PG_DIR/data" -U postgres --auth-local=trust \
        --auth-host=scram-sha-256 >/dev/null
    "${run[@]}" "$bin/pg_ctl" -D "$KPS_PG_DIR/data" -l "$KPS_PG_DIR/log" -w \
        -o "-h 127.0.0.1 -p $port -k $KPS_PG_DIR -F" start >/dev/null
    psql -h "$KPS_PG_DIR" -p "$port" -U postgres -q -v ON_ERROR_STOP=1 <<SQL >/dev/null
CREATE ROLE kps LOGIN PASSWORD 'secret';
CREATE DATABASE kps_test OWNER kps;
CREATE ROLE kps_odd LOGIN PASSWORD ' odd;pass}}word{=x ';
SQL
    export KPS_TEST_PG_PORT=$port KPS_TEST_PG_DATABASE=kps_test
    export KPS_TEST_PG_USER=kps KPS_TEST_PG_PASSWORD=secret
    export KPS_TEST_PG_ODD_USER=kps_odd KPS_TEST_PG_ODD_PASSWORD=' odd;pass}}word{=x '
    KPS_PG_RUN=("${run[@]}")
    KPS_PG_BIN=$bin
}

# A read-only copy that follows the server, as listed beside it for fail-over.
kps_pg_start_standby() {
    local port=$((KPS_TEST_PG_PORT + 1))
    "${KPS_PG_RUN[@]}" "$KPS_PG_BIN/pg_basebackup" -h "$KPS_PG_DIR" -p "$KPS_TEST_PG_PORT" \
        -U postgres -D "$KPS_PG_DIR/standby" -R >/dev/null
    "${KPS_PG_RUN[@]}" "$KPS_PG_BIN/pg_ctl" -D "$KPS_PG_DIR/standby" -l "$KPS_PG_DIR/standby.log" \
        -w -o "-h 127.0.0.1 -p $port -k $KPS_PG_DIR -F" start >/dev/null
    export KPS_TEST_PG_STANDBY_PORT=$port
}

kps_pg_stop() {
    [ -n "${KPS_PG_DIR:-}" ] || return 0
    if [ -d "$KPS_PG_DIR/standby" ]; then
        "${KPS_PG_RUN[@]}" "$KPS_PG_BIN/pg_ctl" -D "$KPS_PG_DIR/standby" -m immediate stop >/dev/null 2>&1 || true
    fi
    "${KPS_PG_RUN[@]}" "$KPS_PG_BIN/pg_ctl" -D "$KPS_PG_DIR/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$KPS_PG_DIR"
    KPS_PG_DIR=
}
