#!/bin/sh
# Up given to W on the options screen: in play W changes lanes, the up arrow does not; effects at 0, M
# silences the music (an MP3 tone) while pedestrians are run over and brings it back; after a restart
# W still goes up and the music at 5 plays the tone at half the level at 10. Without a sound device,
# OPCIONES says so.
# Usage: opciones.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza opciones "$1" "$2"

cfg=$E/home/.config/korvex/korvex.cfg
mkdir -p "$(dirname "$cfg")" && printf 'volumen_efectos = 0\n' >"$cfg"
sox -D -n -r 44100 -c 2 -b 16 "$E/tono.wav" synth 90 sine 440 vol 0.5 && lame --quiet "$E/tono.wav" "$K/mp3/tono.mp3" ||
    fallo "no se pudo hacer el MP3 de prueba"
# The level: the first level's road; pedestrians on the lowest lane every third column from 120.
rm -f "$K"/levels/*.map
nivel "$K/levels/peatones.map" 1 $(for c in $(seq 120 3 790); do echo "$c 96 1"; done)

# Top row of the truck's orange in its column of the road (below the houses), in $Y.
camion_y() {
    Y=$(convert "$FOTO" -crop 60x90+40+75 +repage -fill black +opaque '#F39634' -trim -format '%Y' info: 2>/dev/null |
        tr -d +)
}
# Starts the game, up to the level: title (with $1 = w, up given to W on the options screen), menu (the middle line),
# the road moving; the truck's first height in $Y0.
a_jugar() {
    al_titulo
    if [ "${1:-}" = w ]; then
        manten o 0.4
        hasta 10 opciones pintada
        for k in Down Down Down Down Return w Escape Escape; do pulsa $k; done
        manten Escape 0.3
        hasta 10 titulo_de_vuelta muestra korvex
    fi
    manten Return 0.4
    hasta 20 menu no_titulo
    pulsa Return; sleep 6
    captura juego && camion_y; Y0=$Y
}
# Windows of 0.1 s of the captured sound as letters (T: the 440 Hz tone, S: silence, o: other),
# then the median level of the tone windows.
oido() {
    sox "$1" -t dat -c 1 - 2>/dev/null | awk '/^;/ { next }
        { v = $2; s += v * v; if (p < 0 && v >= 0) x++; p = v; n++
          if (n == 4410) { r = sqrt(s / n)
              if (x >= 40 && x <= 48 && r > 0.01) { printf "T"; print r > "/dev/stderr" }
              else printf (r < 0.0005 ? "S" : "o")
              n = s = x = 0 } } END { print "" }' 2>"$E/niveles"
    sort -n "$E/niveles" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

a_jugar w
manten Up 0.4; sleep 0.5; captura arriba && camion_y
[ "$Y" = "$Y0" ] || fallo "la flecha arriba movio el camion ($Y0 -> $Y) con W para subir"
manten w 0.3; sleep 0.5; captura w && camion_y
[ "$Y" -le $((Y0 - 20)) ] || fallo "W no cambia de carril ($Y0 -> $Y)"
manten Down 1.5
sleep 4; tecla m; captura muda; a=$FOTO
sleep 5; tecla m; captura sin_muda
distinta "$a" 320x48+0+192 || fallo "ningun atropello mientras la musica callaba"
sleep 5; manten Escape 0.3; termina 20
grep -q '^tecla_arriba = W$' "$cfg" || fallo "korvex.cfg no guarda la tecla: $(cat "$cfg")"
oido "$ART/sonido.wav" >"$E/oido10" && mv "$ART/sonido.wav" "$ART/sonido10.wav"
grep -Eq 'T{10,}o?S{20,}o?T{10,}' "$E/oido10" || fallo "M no calla la musica y la devuelve: $(head -1 "$E/oido10")"

sed -i 's/^volumen_musica = .*/volumen_musica = 5/' "$cfg"
a_jugar
manten w 0.3; sleep 0.5; captura w2 && camion_y
[ "$Y" -le $((Y0 - 20)) ] || fallo "tras reiniciar W ya no sube ($Y0 -> $Y)"
sleep 5; manten Escape 0.3; termina 20
oido "$ART/sonido.wav" >"$E/oido5"; l10=$(tail -1 "$E/oido10") l5=$(tail -1 "$E/oido5")
nota "nivel del tono: musica 10 -> $l10, musica 5 -> $l5"
awk -v a="$l10" -v b="$l5" 'BEGIN { r = b / a; exit !(r > 0.45 && r < 0.55) }' || fallo "musica 5 no suena a la mitad que 10"

# No sound device: the options screen says so under its lines.
printf 'pcm.!default { type hw; card 99 }\n' >"$E/home/.asoundrc"
al_titulo
manten o 0.4
hasta 10 opciones3 pintada
sleep 0.5; captura sin_sonido
[ "$(convert "$FOTO" -crop 320x12+0+213 +repage -format '%[fx:maxima]' info:)" != 0 ] ||
    fallo "sin dispositivo de sonido, OPCIONES no lo dice"
nota "sin dispositivo de sonido: OPCIONES lo dice"
manten Escape 0.3; manten Escape 0.5; termina 20
