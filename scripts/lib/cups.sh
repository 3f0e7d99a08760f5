# Starts CUPS with a PDF printer for the system printer tests; exports
# KPS_TEST_CUPS_PRINTER and KPS_TEST_CUPS_OUTPUT (the folder the PDFs land in).
# Without the rights to run CUPS it says so and the tests that need it skip.
#
# The scheduler is a private one: its own configuration, spool, logs and
# socket in a temporary folder, so the machine's own CUPS (running or not) is
# left alone. Clients reach it through CUPS_SERVER, which is exported too.
#
# The PDF printer is a queue whose printer language is PDF, writing to a file:
# a job passes CUPS's own PDF filter only and lands in
# KPS_TEST_CUPS_OUTPUT/ticket.pdf (each job replaces the last), so its text
# can be read back. Going through cups-pdf instead turns it into PostScript
# and back, and the text does not survive that.

kps_cups_dir=""
kps_cups_pid=""

kps_cups_skip() {
    echo "kps_cups_start: $1; the system printer tests will skip" >&2
    unset KPS_TEST_CUPS_PRINTER KPS_TEST_CUPS_OUTPUT
    return 0
}

kps_cups_start() {
    command -v cupsd >/dev/null || { kps_cups_skip "cupsd is not installed"; return 0; }
    command -v lpadmin >/dev/null || { kps_cups_skip "lpadmin is not installed"; return 0; }

    kps_cups_dir=$(mktemp -d /tmp/kps-cups.XXXXXX) || { kps_cups_skip "no temporary folder"; return 0; }
    chmod 755 "$kps_cups_dir"
    mkdir -p "$kps_cups_dir"/{spool/tmp,cache,state,log,out}
    chmod 1777 "$kps_cups_dir/spool/tmp" "$kps_cups_dir/out"
    cat >"$kps_cups_dir/cups-files.conf" <<EOF
SystemGroup root lpadmin $(id -gn)
FileDevice Yes
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
    # A printer that takes PDF: the smallest description CUPS accepts.
    cat >"$kps_cups_dir/pdf-file.ppd" <<'EOF'
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "KPSPDF.PPD"
*Manufacturer: "Kitchen Print Server tests"
*Product: "(PDF file)"
*ModelName: "PDF file"
*ShortNickName: "PDF file"
*NickName: "PDF file"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/vnd.cups-pdf application/pdf 0 -"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "0 0 595 842"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
EOF
    cupsd -f -c "$kps_cups_dir/cupsd.conf" -s "$kps_cups_dir/cups-files.conf" \
        >"$kps_cups_dir/log/cupsd.out" 2>&1 &
    kps_cups_pid=$!
    export CUPS_SERVER="$kps_cups_dir/cups.sock"

    local tries=0
    until lpstat -r >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 50 ] || ! kill -0 "$kps_cups_pid" 2>/dev/null; then
            kps_cups_skip "the scheduler did not start: $(tail -n 3 "$kps_cups_dir"/log/* 2>/dev/null | tr '\n' ' ')"
            kps_cups_stop
            return 0
        fi
        sleep 0.1
    done

    local printer=KPS_PDF
    if ! lpadmin -p "$printer" -E -v "file://$kps_cups_dir/out/ticket.pdf" -P "$kps_cups_dir/pdf-file.ppd" \
        >"$kps_cups_dir/log/lpadmin.out" 2>&1; then
        kps_cups_skip "lpadmin failed: $(cat "$kps_cups_dir/log/lpadmin.out")"
        kps_cups_stop
        return 0
    fi
    lpadmin -d "$printer" >/dev/null 2>&1 || true
    export KPS_TEST_CUPS_PRINTER="$printer"
    export KPS_TEST_CUPS_OUTPUT="$kps_cups_dir/out"
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
    unset CUPS_SERVER KPS_TEST_CUPS_PRINTER KPS_TEST_CUPS_OUTPUT
}
