# Shared by scripts/run and scripts/test. Sourced, not run.
set -euo pipefail

QUILLMERE_SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUILLMERE_BUILD="${QUILLMERE_BUILD:-$QUILLMERE_SRC/build}"

# Installs the Debian packages that are missing (as root), or names them.
install_packages() {
    local wanted missing=()
    wanted=$(grep -v '^#' "$QUILLMERE_SRC/scripts/packages" | grep -v '^$')
    for p in $wanted; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "These Debian packages are missing; install them as root:" >&2
        echo "  apt-get install ${missing[*]}" >&2
        exit 1
    fi
}

build_quillmere() {
    cmake -S "$QUILLMERE_SRC" -B "$QUILLMERE_BUILD" -G Ninja "$@" >/dev/null
    ninja -C "$QUILLMERE_BUILD" -j "$(nproc)"
}
