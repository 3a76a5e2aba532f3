# Shell functions (sourced, POSIX sh) that give a test its own archive host: a private
# network namespace where the archive host resolves to 127.0.0.1, a copy of /etc/ssl that
# trusts a test CA made here with openssl, and tests/download_server.py on 127.0.0.1:443.
# Needs root. Nothing outside /etc/netns/<name> and the work folder is changed, and
# download_env_stop removes both the namespace and that folder.
#
#   download_env_start WORKDIR SOURCEDIR [WINEPREFIX]
#                                  sets dl_ns, dl_dir, dl_host; 77 when not possible
#   download_env_exec COMMAND...   runs a command inside the namespace
#   download_env_stop
#
# Wine's sockets are made by the wineserver, so they live in the network namespace the
# wineserver was started in, whatever namespace the program runs in. With a WINEPREFIX the
# Wine programs get a prefix of their own whose wineserver is ended before and after, so it
# starts inside this namespace (exported as DRIFTPANE_WINEPREFIX for wine-run).

download_env_certs() {
    d="$1"
    conf="$d/openssl.cnf"
    printf '[req]\ndistinguished_name=dn\n[dn]\n[ca]\nbasicConstraints=critical,CA:true\nkeyUsage=critical,keyCertSign,cRLSign\n[leaf]\nbasicConstraints=CA:false\nkeyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=DNS:%s\n[other]\nbasicConstraints=CA:false\nkeyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\nsubjectAltName=DNS:other.driftpane.test\n' "$dl_host" >"$conf"
    for ca in ca rogue; do
        openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj "/CN=Driftpane test $ca" \
            -config "$conf" -extensions ca -keyout "$d/$ca.key" -out "$d/$ca.pem" 2>/dev/null
    done
    # server: the archive host under the trusted CA; untrusted: the same name under a CA that
    # nobody trusts; otherhost: the trusted CA, but another host name.
    for leaf in server:ca:leaf:"$dl_host" untrusted:rogue:leaf:"$dl_host" \
        otherhost:ca:other:other.driftpane.test; do
        IFS=: read -r name ca ext cn <<EOT
$leaf
EOT
        openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj "/CN=$cn" -config "$conf" \
            -keyout "$d/$name.key" -out "$d/$name.csr" 2>/dev/null
        openssl x509 -req -in "$d/$name.csr" -CA "$d/$ca.pem" -CAkey "$d/$ca.key" \
            -CAcreateserial -days 2 -extfile "$conf" -extensions "$ext" -out "$d/$name.pem" \
            2>/dev/null
    done
}

download_env_start() {
    dl_dir="$1"
    source_dir="$2"
    dl_wineprefix="${3:-}"
    if [ "$(id -u)" -ne 0 ] || ! command -v ip >/dev/null || ! command -v openssl >/dev/null; then
        echo "download tests need root, ip (iproute2) and openssl" >&2
        return 77
    fi
    dl_host=$(sed -n 's/^#define DRIFTPANE_ARCHIVE_HOST L"\(.*\)"$/\1/p' \
        "$source_dir/archive/archive_host.h")
    [ -n "$dl_host" ] || { echo "no archive host in archive_host.h" >&2; return 1; }
    rm -rf "$dl_dir"
    mkdir -p "$dl_dir"
    download_env_certs "$dl_dir"
    dl_ns="driftpane-dl-$$"
    ip netns add "$dl_ns"
    ip netns exec "$dl_ns" ip link set lo up
    mkdir -p "/etc/netns/$dl_ns"
    printf '127.0.0.1 localhost\n127.0.0.1 %s\n' "$dl_host" >"/etc/netns/$dl_ns/hosts"
    cp -a /etc/ssl "/etc/netns/$dl_ns/ssl"
    cat "$dl_dir/ca.pem" >>"/etc/netns/$dl_ns/ssl/certs/ca-certificates.crt"
    if [ -n "$dl_wineprefix" ]; then
        WINEPREFIX="$dl_wineprefix" wineserver -k 2>/dev/null || true
        export DRIFTPANE_WINEPREFIX="$dl_wineprefix"
    fi
    ip netns exec "$dl_ns" "$source_dir/tests/download_server.py" --dir "$dl_dir" \
        --source "$source_dir" >"$dl_dir/server.out" 2>&1 &
    dl_server_pid=$!
    i=0
    while [ ! -f "$dl_dir/ready" ]; do
        if [ $i -ge 100 ] || ! kill -0 "$dl_server_pid" 2>/dev/null; then
            echo "the test server did not start:" >&2
            cat "$dl_dir/server.out" >&2
            return 1
        fi
        sleep 0.1
        i=$((i + 1))
    done
}

download_env_exec() {
    ip netns exec "$dl_ns" "$@"
}

download_env_stop() {
    if [ -n "${dl_wineprefix:-}" ]; then
        WINEPREFIX="$dl_wineprefix" wineserver -k 2>/dev/null || true
    fi
    if [ -n "${dl_server_pid:-}" ]; then
        kill "$dl_server_pid" 2>/dev/null || true
        wait "$dl_server_pid" 2>/dev/null || true
        dl_server_pid=""
    fi
    if [ -n "${dl_ns:-}" ]; then
        ip netns del "$dl_ns" 2>/dev/null || true
        rm -rf "/etc/netns/$dl_ns"
        dl_ns=""
    fi
}
