# Wine environment shared by every script: own prefix under build/, quiet, no Mono/Gecko prompts.
quorvex_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export PATH=/usr/lib/wine:$PATH
export WINEPREFIX=${WINEPREFIX:-$quorvex_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
