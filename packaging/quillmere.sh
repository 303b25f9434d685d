#!/bin/sh
# Starts Quillmere in its data folder, $QUILLMERE_HOME or else ~/Quillmere
# (created if missing), where it keeps barograph.ini and barograph.db. The
# program lies in ../lib/quillmere beside this command, wherever installed.
program="$(dirname "$(readlink -f "$0")")/../lib/quillmere/quillmere"
for argument in "$@"; do
    case "$argument" in
        --version|--help) exec "$program" "$argument" ;;
    esac
done
data="${QUILLMERE_HOME:-$HOME/Quillmere}"
mkdir -p "$data" && cd "$data" || exit 1
exec "$program" "$@"
