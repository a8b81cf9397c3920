#!/bin/sh
# The installed game: cmake --install into a temporary prefix, then from another folder with a
# temporary HOME, under X: the diagnostic screen lists the shipped levels, a level saved by the
# installed editor lands in the user's levels/ and joins the game's catalogue, the prefix stays
# byte for byte. Then the .deb: its dependencies, and the game run from the unpacked package.
# With CI=true as root, also the real apt-get install, a start from /, and apt-get remove.
# Usage: instala_x11.sh BUILD_DIR   (DISPLAY must be set)
set -u
build=$1
w=$(mktemp -d /tmp/korvinstala.XXXXXX)
pid=""
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$w"' EXIT
fail() { echo "FALLO: $*"; exit 1; }
mkdir "$w/otra" "$w/h"

# Starts program $3.. in folder $2 (HOME the temporary one) and waits for its window titled $1.
lanza() {
    titulo=$1; dir=$2; shift 2
    (cd "$dir" && exec env -u XDG_DATA_HOME HOME="$w/h" "$@" >>"$w/salida" 2>&1) &
    pid=$!
    win=$(timeout 20 xdotool search --sync --name "^$titulo\$" | head -1)
    [ -n "$win" ] || fail "no window $titulo from $*"
}
termina() { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; pid=""; }
# The diagnostic lines of game $2 started in $1, down to the song count (their order is shuffled), into $3.png.
info() {
    lanza "KORVEX 2003" "$1" "$2" -info
    sleep 1.5
    timeout 20 import -window "$win" -crop 320x80+0+0 +repage "$w/$3.png" || fail "no screenshot of $2"
    termina
    [ -z "${4:-}" ] || [ "$(compare -metric AE "$w/$3.png" "$w/$4.png" null: 2>&1)" = 0 ] || fail "$2: $3 differs from $4"
}
huellas() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }

# The reference: the shipped data beside a copy of the built game, as in the build folder.
cp -r "$build/instalar/korvex" "$w/ref" && cp "$build/korvex/korvex" "$w/ref/"
info "$w/ref" ./korvex ref6
cmake --install "$build" --prefix "$w/p" >/dev/null || fail "cmake --install"
huellas "$w/p" >"$w/antes"
info "$w/otra" "$w/p/games/korvex" inst6 ref6

# NUEVO MAPA, back to the menu, GUARDAR: the installed editor saves into the user's levels/.
lanza "KORV-EDITOR 2003" "$w/otra" "$w/p/games/korveditor"
xdotool windowfocus --sync "$win"
for k in Return Escape Down Down Down Return; do sleep 0.7; xdotool key "$k"; done
nuevo="$w/h/.local/share/korvex/levels/nivel_07.map"
for i in $(seq 1 50); do [ -s "$nuevo" ] && break; sleep 0.2; done
termina
[ "$(stat -c %s "$nuevo" 2>/dev/null)" = 2801 ] || fail "no level saved as $nuevo"
cp "$nuevo" "$w/ref/levels/"
info "$w/ref" ./korvex ref7
info "$w/otra" "$w/p/games/korvex" inst7 ref7
huellas "$w/p" | diff "$w/antes" - || fail "the installed files changed"
[ -z "$(ls -A "$w/otra")" ] || fail "files written in the working folder: $(ls -A "$w/otra")"

# The package: dependencies, only /usr, and the game from the unpacked tree (seven levels: the user's too).
cpack -G DEB -B "$w/deb" --config "$build/CPackConfig.cmake" >"$w/cpack" 2>&1 || { cat "$w/cpack"; fail "cpack"; }
deb=$(ls "$w/deb"/korvex_*_amd64.deb) || fail "no korvex_<version>_amd64.deb"
dep=$(dpkg-deb -f "$deb" Depends)
for d in freepats liballegro4.4 libmpg123-0 libc6; do echo "$dep" | grep -q "$d" || fail "Depends lacks $d: $dep"; done
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/' && fail "files outside /usr"
dpkg-deb -x "$deb" "$w/x"
info "$w/otra" "$w/x/usr/games/korvex" deb7 ref7

# The real install, only in CI as root.
if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$w/apt" 2>&1 || { cat "$w/apt"; fail "apt-get install"; }
    dpkg -L korvex >"$w/lista"
    info / /usr/games/korvex apt7 ref7
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq korvex >>"$w/apt" 2>&1 || { cat "$w/apt"; fail "apt-get remove"; }
    while read -r f; do [ -f "$f" ] && fail "left after remove: $f"; done <"$w/lista"
    echo "apt: installed, played from /, removed; none of its $(wc -l <"$w/lista") paths is a file any more"
fi
echo "ok: installed tree, diagnostic screens, editor save to the user's levels, .deb ($dep)"
