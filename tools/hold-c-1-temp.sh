# shellcheck shell=bash
# Sourced first by a test script that uses c:\1_temp of the Wine prefix (see wine-env.sh), which
# other test runs in the same prefix may be using at the same time: it makes the prefix ready and
# runs the script again holding the prefix's lock for c:\1_temp (held by flock itself, so that no
# Wine process the script starts keeps it).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
if [ -z "${HOLDS_C_1_TEMP_LOCK:-}" ]; then
  HOLDS_C_1_TEMP_LOCK=1 exec flock -o "$WINEPREFIX/c_1_temp.lock" "$0" "$@"
fi
