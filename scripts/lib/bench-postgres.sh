# A throw-away PostgreSQL server for the measuring runs: started as the tests'
# one (scripts/lib/postgres.sh, its own folder and port), then restarted with
# pg_stat_statements loaded, and its login made a superuser so that the runs
# can create a database per outlet and read every statistics view.
# Source it, then call kps_bench_pg_start; stop it with kps_pg_stop.

. "$(dirname "${BASH_SOURCE[0]}")/postgres.sh"

kps_bench_pg_start() {
    kps_pg_start
    local psql=(psql -h "$KPS_PG_DIR" -p "$KPS_TEST_PG_PORT" -U postgres -q -v ON_ERROR_STOP=1)
    # pg_stat_statements counts utility statements (BEGIN, COMMIT) by default.
    "${psql[@]}" -c "ALTER SYSTEM SET shared_preload_libraries = 'pg_stat_statements'" \
        -c "ALTER ROLE $KPS_TEST_PG_USER SUPERUSER" >/dev/null
    # The restart keeps the start's options (address, port, socket folder).
    "${KPS_PG_RUN[@]}" "$KPS_PG_BIN/pg_ctl" -D "$KPS_PG_DIR/data" -l "$KPS_PG_DIR/log" -w \
        restart >/dev/null
    "${psql[@]}" -c "CREATE EXTENSION pg_stat_statements" >/dev/null
    export KPS_BENCH_PG_DATA=$KPS_PG_DIR/data
}
