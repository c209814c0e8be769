# Shared settings of the project's scripts (sourced, not run).
LUMAGROVE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${LUMAGROVE_CACHE:=${XDG_CACHE_HOME:-$HOME/.cache}/lumagrove}"
: "${LUMAGROVE_BUILD:=$LUMAGROVE_ROOT/build}"
export LUMAGROVE_ROOT LUMAGROVE_CACHE LUMAGROVE_BUILD
mkdir -p "$LUMAGROVE_CACHE"
