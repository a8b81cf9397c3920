#!/bin/sh
# cmake --install into a temporary prefix, run from another folder with a temporary HOME: the shipped levels
# listed, the installed editor's level in the user's levels/ and the game's catalogue, the prefix unchanged;
# every option the programs accept is in their manual page.
# Then the .deb: dependencies, the game from the unpacked package, lintian and the AppStream data; with CI=true
# as root, apt-get install/remove.
# Usage: instala_x11.sh BUILD_DIR ARTEFACTOS
. "$(dirname "$0")/x/escena.sh"
build=$1   # the reference ($K): the shipped data beside a copy of the built game, as in the build folder
escena_empieza instala "$build/instalar/korvex" "$2"
cp "$build/korvex/korvex" "$K/" && mkdir "$E/otra"

# Starts a program in folder $1 (HOME the scenario's, no XDG_DATA_HOME).
lanza_en() {
    d=$1; shift; PROG=$1
    (cd "$d" && exec env -u XDG_DATA_HOME HOME="$E/home" "$@") >>"$ART/salida.txt" 2>&1 &
    PID=$!
}
# The diagnostic screen of game $2 started in $1, kept as $E/$3.png; with $4, the lines down to the
# song count (their order is shuffled) must equal those of $E/$4.png.
info() {
    lanza_en "$1" "$2" -info
    ventana '^KORVEX 2003$'
    hasta 20 "$3" pintada && cp "$FOTO" "$E/$3.png" && mata
    [ -z "${4:-}" ] || [ "$(difieren "$E/$3.png" "$E/$4.png" 320x80+0+0)" = 0 ] || fallo "$2: $3 no es igual a $4"
}
huellas() { (cd "$1" && find . -type f -exec md5sum {} + | sort); }

info "$K" ./korvex ref15
cmake --install "$build" --prefix "$E/p" >/dev/null || fallo "cmake --install"
info "$E/otra" "$E/p/games/korvex" inst15 ref15
# Fifteen levels ship, as many as the game sees: six are left in the reference and the prefix so that the
# editor's new level has room in the joined catalogue.
compartidos=$E/p/share/games/korvex/levels
for n in 07 08 09 10 11 12 13 14 15; do rm -f "$K/levels/nivel_$n.map" "$compartidos/nivel_$n.map"; done
info "$K" ./korvex ref6
huellas "$E/p" >"$E/antes"
# Temporaries of killed saves in the folders each program writes: the old ones go at its start, a fresh one stays.
u=$E/home/.local/share/korvex c=$E/home/.config/korvex
mkdir -p "$u/levels" "$c"
for f in "$u/.korvtmpVIEJO1" "$c/.korvtmpVIEJO2" "$u/levels/.korvtmpVIEJO3"; do touch -d '2 minutes ago' "$f"; done
touch "$u/.korvtmpNUEVO"
info "$E/otra" "$E/p/games/korvex" inst6 ref6
[ "$(cd "$E/home" && find . -name '.korvtmp*' | sort | tr '\n' ' ')" = \
  "./.local/share/korvex/.korvtmpNUEVO ./.local/share/korvex/levels/.korvtmpVIEJO3 " ] ||
    fallo "temporales tras el juego: $(cd "$E/home" && find . -name '.korvtmp*')"

# Every option each program accepts (the options its argument readers compare with) is in its installed
# manual page, written as groff writes an option (\-full), compressed or not.
fuente=$(cd "$(dirname "$0")/.." && pwd)
for p in korvex:game korveditor:editor korvex-marcador:marcador; do
    prog=${p%%:*} pagina=$(ls "$E/p/share/man/man6/${p%%:*}.6"* 2>/dev/null | head -1)
    [ -n "$pagina" ] || fallo "no se instalo la pagina de manual de $prog"
    opciones=$(cat "$fuente/${p#*:}"/*.cpp | grep -o 'strcmp(argv\[[^]]*\], "-[a-z]*")' | grep -o '"-[a-z]*"' | tr -d '"' | sort -u)
    [ "$(echo "$opciones" | wc -w)" -ge 3 ] || fallo "no se encuentran las opciones de $prog en $fuente/${p#*:}"
    for o in $opciones; do
        zcat -f "$pagina" | grep -qF -- "\\$o" || fallo "la pagina de manual de $prog no tiene la opcion $o"
    done
    nota "$prog(6): $(echo $opciones)"
done

# The campaign, NUEVO MAPA, back to the menu, GUARDAR: the installed editor saves into the user's levels/.
lanza_en "$E/otra" "$E/p/games/korveditor" && ventana '^KORV-EDITOR 2003$'
hasta 20 menu pintada
for k in Left Return Escape Down Down Down; do pulsa $k; done
tecla Return
nuevo=$E/home/.local/share/korvex/levels/nivel_07.map   # after the six left
guardado() { [ "$(stat -c %s "$nuevo" 2>/dev/null)" = 2801 ]; }
espera 20 "GUARDAR no escribe $nuevo" guardado
mata; cp "$nuevo" "$K/levels/"
[ -e "$u/levels/.korvtmpVIEJO3" ] && fallo "el editor no quita el temporal viejo de levels/"
rm -f "$u/.korvtmpNUEVO"
info "$K" ./korvex ref7
info "$E/otra" "$E/p/games/korvex" inst7 ref7
huellas "$E/p" | diff "$E/antes" - || fallo "los archivos instalados cambiaron"
[ -z "$(ls -A "$E/otra")" ] || fallo "archivos en la carpeta de trabajo: $(ls -A "$E/otra")"

# The package: dependencies, only /usr, and the game from the unpacked tree (all fifteen shipped; the user's
# nivel_07 is played in place of the shipped one of that name).
cpack -G DEB -B "$E/deb" --config "$build/CPackConfig.cmake" >"$ART/cpack.txt" 2>&1 || fallo "cpack: $(tail -5 "$ART/cpack.txt")"
deb=$(ls "$E/deb"/korvex_*_amd64.deb) || fallo "no hay korvex_<version>_amd64.deb"
dep=$(dpkg-deb -f "$deb" Depends)
for d in freepats liballegro4.4 libmpg123-0 libc6; do echo "$dep" | grep -q "$d" || fallo "Depends sin $d: $dep"; done
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v -e '^\./$' -e '^\./usr/' && fallo "archivos fuera de /usr"
dpkg-deb -x "$deb" "$E/x" && info "$E/otra" "$E/x/usr/games/korvex" deb15 ref15
# lintian: no error and no warning; the AppStream data valid, naming menu entries the package has.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$ART/lintian.txt" 2>&1 || fallo "lintian: $(cat "$ART/lintian.txt")"
set -- "$E/x/usr/share/metainfo"/*.metainfo.xml
[ $# = 2 ] && [ -f "$1" ] || fallo "no hay dos archivos AppStream en share/metainfo: $*"
appstreamcli validate --no-net "$@" >"$ART/appstream.txt" 2>&1 || fallo "appstreamcli: $(cat "$ART/appstream.txt")"
for m in "$@"; do
    d=$(sed -n 's#.*<launchable type="desktop-id">\(.*\)</launchable>.*#\1#p' "$m")
    [ -n "$d" ] && [ -f "$E/x/usr/share/applications/$d" ] || fallo "$(basename "$m"): launchable '$d' no esta en el paquete"
done
nota "lintian sin E: ni W:; appstreamcli: $(tail -1 "$ART/appstream.txt")"
nota "$(basename "$deb"): Depends: $dep"

# The real install, only in CI as root.
if [ "${CI:-}" = true ] && [ "$(id -u)" = 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$ART/apt.txt" 2>&1 || fallo "apt-get install"
    dpkg -L korvex >"$E/lista"
    info / /usr/games/korvex apt15 ref15
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq korvex >>"$ART/apt.txt" 2>&1 || fallo "apt-get remove"
    while read -r f; do [ -f "$f" ] && fallo "queda tras apt-get remove: $f"; done <"$E/lista"
    nota "apt-get: instalado, jugado desde /, quitado; ninguna de sus $(wc -l <"$E/lista") rutas queda como archivo"
fi
