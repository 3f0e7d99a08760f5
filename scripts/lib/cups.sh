# Starts CUPS with a PDF printer for the system printer tests; exports
# KPS_TEST_CUPS_PRINTER and KPS_TEST_CUPS_OUTPUT (the folder the PDFs land in).
# Without the rights to run CUPS it says so and the tests that need it skip.
#
# The scheduler is a private one: its own configuration, spool, logs and
# socket in a temporary folder, so the machine's own CUPS (running or not) is
# left alone. Clients reach it through CUPS_SERVER, which is exported too.

kps_cups_dir=""
kps_cups_pid=""

kps_cups_skip() {
    echo "kps_cups_start: $1; the system printer tests will skip" >&2
    unset KPS_TEST_CUPS_PRINTER KPS_TEST_CUPS_OUTPUT
    return 0
}

# cups-pdf keeps its settings in the system folder; its Out folder is where
# it puts the PDF of a job, ${HOME} being the home of the job's owner.
kps_cups_pdf_output() {
    local out
    out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\+//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
    out=${out:-'${HOME}/PDF'}
    echo "${out//\$\{HOME\}/$HOME}"
}

kps_cups_start() {
    local backend=/usr/lib/cups/backend/cups-pdf
    local ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    command -v cupsd >/dev/null || { kps_cups_skip "cupsd is not installed"; return 0; }
    [ -x "$backend" ] || { kps_cups_skip "the cups-pdf backend is missing"; return 0; }
    [ -r "$ppd" ] || { kps_cups_skip "the cups-pdf PPD is missing"; return 0; }
    # cups-pdf runs only as root, so only a root scheduler can drive it.
    [ "$(id -u)" = 0 ] || { kps_cups_skip "running a scheduler with cups-pdf needs root"; return 0; }

    kps_cups_dir=$(mktemp -d /tmp/kps-cups.XXXXXX)
    chmod 755 "$kps_cups_dir"
    mkdir -p "$kps_cups_dir"/{spool/tmp,cache,state,log,ppd}
    chmod 1777 "$kps_cups_dir/spool/tmp"
    cat >"$kps_cups_dir/cups-files.conf" <<EOF
SystemGroup root lpadmin
ServerRoot $kps_cups_dir
RequestRoot $kps_cups_dir/spool
TempDir $kps_cups_dir/spool/tmp
CacheDir $kps_cups_dir/cache
StateDir $kps_cups_dir/state
AccessLog $kps_cups_dir/log/access_log
ErrorLog $kps_cups_dir/log/error_log
PageLog $kps_cups_dir/log/page_log
EOF
    cat >"$kps_cups_dir/cupsd.conf" <<EOF
LogLevel warn
Listen $kps_cups_dir/cups.sock
Browsing No
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
EOF
    cupsd -f -c "$kps_cups_dir/cupsd.conf" -s "$kps_cups_dir/cups-files.conf" \
        >"$kps_cups_dir/log/cupsd.out" 2>&1 &
    kps_cups_pid=$!
    export CUPS_SERVER="$kps_cups_dir/cups.sock"

    local tries=0
    until lpstat -r >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ] || ! kill -0 "$kps_cups_pid" 2>/dev/null; then
            kps_cups_skip "the scheduler did not start ($(tail -n 3 "$kps_cups_dir/log/"* 2>/dev/null | tr '\n' ' '))"
            kps_cups_stop
            return 0
        fi
        sleep 0.1
    done

    local printer=KPS_PDF
    if ! lpadmin -p "$printer" -E -v cups-pdf:/ -P "$ppd" >"$kps_cups_dir/log/lpadmin.out" 2>&1; then
        kps_cups_skip "lpadmin failed: $(cat "$kps_cups_dir/log/lpadmin.out")"
        kps_cups_stop
        return 0
    fi
    lpadmin -d "$printer" >/dev/null 2>&1 || true
    export KPS_TEST_CUPS_PRINTER="$printer"
    KPS_TEST_CUPS_OUTPUT=$(kps_cups_pdf_output)
    export KPS_TEST_CUPS_OUTPUT
    mkdir -p "$KPS_TEST_CUPS_OUTPUT"
    echo "kps_cups_start: printer $KPS_TEST_CUPS_PRINTER, PDFs in $KPS_TEST_CUPS_OUTPUT" >&2
}

kps_cups_stop() {
    if [ -n "$kps_cups_pid" ]; then
        kill "$kps_cups_pid" 2>/dev/null || true
        wait "$kps_cups_pid" 2>/dev/null || true
        kps_cups_pid=""
    fi
    if [ -n "$kps_cups_dir" ]; then
        rm -rf "$kps_cups_dir"
        kps_cups_dir=""
    fi
    unset CUPS_SERVER
}
