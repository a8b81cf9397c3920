#!/bin/sh
# Desktop manners in play and in the editor: another window taking the keyboard pauses play until P
# (pausa_al_salir = no, read as every setting, lets play go on: Ayuda.F1YLaPerdidaDelTecladoPausan); F1 shows the help card over paused play and over the editor's map,
# and the key that closes it does nothing else: play stays paused, the map as it was; SALIR leaves the
# editor with status 0.
# Usage: foco_ayuda.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza foco_ayuda "$1" "$2"
CAMPO=320x150+0+40    # the road and the houses, without the card's rows when cropped to ARRIBA
ARRIBA=320x50+0+0     # the houses above the card

# The road moves: two captures half a second apart differ in the playfield ($1: name).
corre() {
    captura "$1-a" || fallo "no se pudo capturar la ventana"
    previa=$FOTO
    sleep 0.5
    captura "$1-b" && distinta "$previa" "$CAMPO" || fallo "$1: la ruta no se mueve"
}
# Level 1 alone, at the middle difficulty, the road moving.
juega() {
    lanza ./korvex -nivel levels/nivel_01.map -dificultad 1 && ventana '^KORVEX 2003$'
    sleep 5
    corre "$1"
}
# The second window, which takes the keyboard when asked.
xlogo -geometry 100x100+400+300 >/dev/null 2>&1 &
OTRA_PID=$!
trap 'kill $OTRA_PID 2>/dev/null; escena_limpia' EXIT
L=$(timeout 20 xdotool search --sync --onlyvisible --class xlogo 2>/dev/null | head -1)
[ -n "$L" ] || fallo "no aparece la segunda ventana"
otra_ventana() { xdotool windowfocus --sync "$L" || fallo "la otra ventana no toma el teclado"; sleep 0.5; }
de_vuelta() { xdotool windowfocus --sync "$W" || fallo "no vuelve el foco"; sleep 0.5; }

juega en_marcha
otra_ventana
quieta sin_foco
de_vuelta
captura con_foco && igual "$QUIETA" || fallo "la pausa se fue al volver el foco"
manten p 0.2; sleep 0.3
corre tras_p
nota "sin foco: pausa; con foco: sigue en pausa; P: sigue"

tecla F1; sleep 0.5
quieta carta
carta=$QUIETA
distinta "$previa" || fallo "F1 no muestra nada"
# P closes the card: play stays paused, the road where it was under the card.
manten p 0.3; sleep 0.5
quieta tras_carta
distinta "$carta" || fallo "la carta no se va con una tecla"
[ "$(difieren "$QUIETA" "$carta" "$ARRIBA")" = 0 ] || fallo "la ruta se movio con la carta puesta"
manten p 0.2; sleep 0.3
corre tras_carta_p
nota "F1 en juego: pausa con la carta; la tecla que la cierra no sigue el juego"
mata

# The editor: the campaign's level 1 opened (the set, CARGAR, the first), the map; F1, then SPACE (the
# mode key) closes the card.
lanza ./korveditor
ventana '^KORV-EDITOR 2003$'
hasta 20 menu pintada
pulsa Left; pulsa Down; pulsa Return; pulsa Return
quieta mapa
mapa=$QUIETA
pulsa F1
quieta carta_editor
manten space 0.3; sleep 0.5
quieta mapa_otra_vez
igual "$mapa" || fallo "el mapa cambio tras la carta"
nota "F1 en el editor: la carta, y el mapa como estaba"
for k in Escape Up; do pulsa $k; done   # the menu from NUEVO MAPA: up, SALIR
tecla Return
termina 20
[ "$RC" = 0 ] || fallo "SALIR del editor: estado de salida $RC"
