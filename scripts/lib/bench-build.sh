# What the measuring front scripts share: the Release build of this tree's
# server and a measuring program, and a throw-away PostgreSQL when the
# arguments ask for one (--database postgres).
# Source it from the repository's top folder.

. "$(dirname "${BASH_SOURCE[0]}")/bench-postgres.sh"

kps_bench_build() {
    scripts/install-deps
    cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKPS_WARNINGS_AS_ERRORS=OFF >/dev/null
    cmake --build build-release -j2 --target kitchen-print-server "$@" >/dev/null
}

# Starts the PostgreSQL server (stopped on exit) when the arguments hold
# "--database postgres".
kps_bench_postgres_if_asked() {
    local previous=
    for a in "$@"; do
        if [ "$previous $a" = "--database postgres" ]; then
            trap kps_pg_stop EXIT
            kps_bench_pg_start
            return
        fi
        previous=$a
    done
}
