#!/bin/sh
# The game in English where the desktop asks for it (LANG=en_US.UTF-8, a locale this machine need not
# have): the title (its English picture), its help card, the options, the difficulty menu and a level card, each kept as a
# screenshot; on the options' IDIOMA line ESPANOL turns the screen Spanish at once and is kept in the
# settings file; the command line's lines in English too.
# Usage: idioma.sh KORV_DIR ARTEFACTOS
. "$(dirname "$0")/escena.sh"
escena_empieza idioma "$1" "$2"
unset LC_ALL LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8
cfg=$E/home/.config/korvex/korvex.cfg

linea=$(cd "$K" && ./korvex -nivel 2>&1)
[ "$linea" = "KORVEX: -nivel needs the level's file" ] || fallo "la linea de la opcion no esta en ingles: $linea"

al_titulo
captura titulo
# the title's lettering is part of its picture: the English one
[ "$(difieren "$FOTO" "$K/datos/korvex_en.bmp")" -lt "$(difieren "$FOTO" "$K/datos/korvex.bmp")" ] ||
    fallo "el titulo no es la imagen en ingles"
tecla F1; sleep 1; captura ayuda_titulo
tecla x; sleep 1
manten o 0.4
hasta 10 opciones pintada
for k in Down Down Down Down Down Down Down; do pulsa $k; done
captura opciones_idioma; ingles=$FOTO
pulsa Right
captura opciones_espanol
distinta "$ingles" || fallo "ESPANOL no cambia la pantalla de opciones"
grep -qx 'idioma = es' "$cfg" || fallo "el archivo de ajustes no guarda idioma = es"
pulsa Right
captura opciones_english
igual "$ingles" && fallo "ENGLISH no es AUTO: la linea deberia decir ENGLISH"
grep -qx 'idioma = en' "$cfg" || fallo "el archivo de ajustes no guarda idioma = en"
manten Escape 0.3
hasta 10 titulo_de_vuelta muestra korvex
manten Return 0.4
hasta 20 menu no_titulo
captura menu
tecla F1; sleep 1; captura ayuda_menu
tecla x; sleep 1
tecla Return
hasta 10 carta_nivel no_titulo
sleep 0.3; captura carta_nivel
mata
nota "capturas en $ART"
