# Shared by the scripts (run, test, demo, screenshots). Sourced, not run.
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

build_quillmere() { # [ninja targets]: everything unless named
    cmake -S "$QUILLMERE_SRC" -B "$QUILLMERE_BUILD" -G Ninja >/dev/null
    ninja -C "$QUILLMERE_BUILD" -j "$(nproc)" "$@"
}

# What the user runs and the package holds: the program, its catalogues and
# the tools; not the tests and benchmarks.
build_program() {
    build_quillmere quillmere quillmere_translations nmeasim nmeadecode
}

# Sixteen days of the boat nmeasim simulates, up to now, in the nine history
# tables of a new database: the depression nmeasim brings from its own second
# 0 is already deepening, so every span, the trend arrow and the three-hour
# change have something to show from the first sample on.
write_simulated_history() { # database
    /usr/bin/python3 - "$1" <<'PY'
import math, sqlite3, sys, time
now = int(time.time())
db = sqlite3.connect(sys.argv[1])
def pressure(t):
    h = t / 3600.0
    return 1016.0 - 28.0 * math.exp(-((h - 4.0) / 3.0) ** 2) + 0.6 * math.sin(2 * math.pi * h / 12.0)
def position(t):
    miles = 6.0 * t / 3600.0
    lat = 47.72 + miles * math.cos(math.radians(225)) / 60.0
    return -3.99 + miles * math.sin(math.radians(225)) / 60.0 / math.cos(math.radians(lat)), lat
tables = [("BARO30M", 2, 1800), ("BARO3H", 6, 10800), ("BARO6H", 12, 21600), ("BAR12H", 24, 43200),
          ("BARO1D", 48, 86400), ("BARO2D", 96, 172800), ("BARO4D", 192, 345600), ("BARO8D", 384, 691200),
          ("BAR16D", 768, 1382400)]
for name, interval, span in tables:
    db.execute(f"CREATE TABLE {name} (TIME INTEGER primary key, LON FLOAT, LAT FLOAT, COG FLOAT, SOG FLOAT, "
               "PRE FLOAT, ELE FLOAT, OFS FLOAT)")
    first = now - span + interval - (now % interval)
    rows = [(s, *position(s - now), 225.0, 6.0, pressure(s - now), 0.0, 0.0)
            for s in range(first, now - 1, interval)]
    db.executemany(f"INSERT INTO {name} VALUES (?, ?, ?, ?, ?, ?, ?, ?)", rows)
db.commit()
PY
}
