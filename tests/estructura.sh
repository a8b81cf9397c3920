#!/bin/sh
# The layers of the source tree and the size of the suite:
#  - shared/ (what both programs stand on) includes nothing from game/ or editor/, and game/
#    nothing from editor/; marcador/ (the score server) may include shared/ and game/, and nothing
#    outside it includes marcador/;
#  - every include of our own headers names them from the source root ("shared/x.h");
#  - the library's compatibility names are turned off by the build alone, never by hand;
#  - the tests' non-blank, non-comment lines are at most a third of those of shared/, game/,
#    editor/, tools/ and marcador/ together.
# Usage: estructura.sh SOURCE_DIR
cd "${1:-$(dirname "$0")/..}" || exit 2
fallos=0
falla() { echo "FALLO: $*"; fallos=$((fallos + 1)); }

fuentes() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort; }

for f in $(fuentes shared); do
    grep -Hn '#include "\(game\|editor\)/' "$f" && falla "$f: shared/ incluye de game/ o editor/"
done
for f in $(fuentes game); do
    grep -Hn '#include "editor/' "$f" && falla "$f: game/ incluye de editor/"
done
for f in $(fuentes shared game editor tools tests bench); do
    grep -Hn '#include "marcador/' "$f" | grep -v '^tests/fuzz/fuzz_marcador' && falla "$f: incluye de marcador/"
done
for f in $(fuentes marcador); do
    grep -Hn '#include "editor/' "$f" && falla "$f: marcador/ incluye de editor/"
done
for f in $(fuentes shared game editor tools tests bench marcador); do
    grep -Hn '#include "' "$f" | grep -v '#include "\(shared\|game\|editor\|tools\|tests\|bench\|marcador\)/' &&
        falla "$f: un include que no nombra su archivo desde la raiz"
    grep -Hn '^#define ALLEGRO_NO_COMPATIBILITY' "$f" && falla "$f: ALLEGRO_NO_COMPATIBILITY lo pone la compilacion"
done

# Non-blank lines that are not only a comment (// and /* */ in C and C++, outside strings; # in the rest).
cuenta() {
    awk 'FNR == 1 { bloque = 0; c = (FILENAME ~ /\.(cpp|h|c)$/) }
         {
             l = $0
             if (c) {
                 if (bloque) { if (i = index(l, "*/")) { l = substr(l, i + 2); bloque = 0 } else next }
                 gsub(/\047([^\047\\]|\\.)\047/, "c", l)       # a character, and then a string,
                 gsub(/"([^"\\]|\\.)*"/, "s", l)                 # hide no comment
                 while (match(l, /\/\*/)) {
                     antes = substr(l, 1, RSTART - 1); resto = substr(l, RSTART + 2)
                     if (i = index(resto, "*/")) l = antes substr(resto, i + 2); else { l = antes; bloque = 1 }
                 }
                 sub(/^[ \t]*\/\/.*/, "", l)
             } else {
                 if (FNR == 1 && l ~ /^#!/) next
                 sub(/^[ \t]*#.*/, "", l)
             }
             if (l ~ /[^ \t]/) n++
         }
         END { print n + 0 }' "$@"
}
codigo() { find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' -o -name '*.sh' -o -name '*.py' \
                                -o -name 'CMakeLists.txt' -o -name mutar \) | sort; }
pruebas=$(cuenta $(codigo tests))
resto=$(cuenta $(codigo shared game editor tools marcador))
echo "lineas: pruebas $pruebas, codigo $resto (tope de las pruebas: $((resto / 3)))"
[ "$pruebas" -le $((resto / 3)) ] || falla "las pruebas pasan del tercio del codigo"

[ $fallos = 0 ] && echo "estructura: bien"
[ $fallos = 0 ]
