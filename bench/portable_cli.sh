# SPDX-License-Identifier: MIT
# Sourced by the benchmark scripts.
# make_portable_cli BIN DIR: a portable install of xls2qdp-cli from the build
# folder BIN in DIR, with its libraries, dictionaries, an empty working table
# and the settings of a test clinic.
make_portable_cli() {
    local bin=$1 dir=$2
    mkdir -p "$dir"
    cp "$bin/xls2qdp-cli" "$dir/"
    cp "$bin"/lib*.so* "$dir/" 2>/dev/null || true
    cp "$bin/sl_gminy.db" "$bin/sl_miejscowosci.db" "$bin/xls_imp.db" "$dir/"
    printf '[SYSTEM]\r\nNrInstalacji=1\r\nKodSwiadcz=000000012345\r\nKodOddzialuNFZ=06\r\nKodWojew=12\r\n' \
        >"$dir/xls2qdp.INI"
}
