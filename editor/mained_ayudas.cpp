// mained: the editor's help cards, one per screen that takes keys (F1 shows the one on view).
#include "editor/mained.h"

// Keys every screen of the editor shares, last on each card.
#define COMUNES {"F11", "PANTALLA COMPLETA"}, {"F1", "ESTA AYUDA"}

static const LineaAyuda edicion[] = {
    {"FLECHAS", "MOVER EL CURSOR"},      {"ESPACIO", "MODO FONDO / ENEMIGO"},
    {"A / S", "BLOQUE O ENEMIGO -/+"},   {"D", "PONER"},
    {"F", "QUITAR EL ENEMIGO"},          {"J", "PROBAR DESDE AQUI"},
    {"CTRL+Z", "DESHACER"},              {"CTRL+Y", "REHACER"},
    {"RATON IZQ.", "PONER"},             {"RATON DER.", "QUITAR EL ENEMIGO"},
    {"RUEDA", "BLOQUE O ENEMIGO -/+"},   {"BORDES", "CORRER LA VISTA"},
    {"ESC", "MENU"},                     COMUNES};
AYUDA_CARTA(AYUDA_EDICION, "AYUDA", edicion);

static const LineaAyuda menu[] = {
    {"ARRIBA/ABAJO", "ELEGIR"}, {"IZQ./DER.", "CAMBIAR DE CONJUNTO"}, {"ENTER", "ACEPTAR"},
    {"ESC", "VOLVER AL MAPA"}, COMUNES};
AYUDA_CARTA(AYUDA_MENU, "AYUDA", menu);

static const LineaAyuda conjuntos_menu[] = {
    {"ARRIBA/ABAJO", "ELEGIR"}, {"ENTER", "ACEPTAR"}, {"ESC", "VOLVER AL MENU"}, COMUNES};
AYUDA_CARTA(AYUDA_CONJUNTOS, "AYUDA", conjuntos_menu);

static const LineaAyuda como[] = {
    {"IZQ./DER.", "ELEGIR EL CONJUNTO"}, {"ARRIBA/ABAJO", "ELEGIR EL NUMERO"}, {"ENTER", "GUARDAR"},
    {"ESC", "NO GUARDAR"}, COMUNES};
AYUDA_CARTA(AYUDA_GUARDAR_COMO, "AYUDA", como);

static const LineaAyuda escribe[] = {
    {"LETRAS, NUMEROS", "ESCRIBIR"}, {"BORRAR", "BORRAR LA ULTIMA"}, {"ENTER", "ACEPTAR"}, {"ESC", "NO HACERLO"},
    COMUNES};
AYUDA_CARTA(AYUDA_ESCRIBE, "AYUDA", escribe);

static const LineaAyuda lista[] = {
    {"ARRIBA/ABAJO", "ELEGIR UN NIVEL"}, {"ENTER", "ABRIRLO"}, COMUNES};
AYUDA_CARTA(AYUDA_LISTA, "AYUDA", lista);

static const LineaAyuda elige[] = {
    {"ARRIBA/ABAJO", "ELEGIR"}, {"ENTER", "ACEPTAR"}, {"ESC", "VOLVER"}, COMUNES};
AYUDA_CARTA(AYUDA_ELIGE, "AYUDA", elige);

static const LineaAyuda si_no[] = {{"ARRIBA/ABAJO", "SI O NO"}, {"ENTER", "ACEPTAR"}, COMUNES};
AYUDA_CARTA(AYUDA_SI_NO, "AYUDA", si_no);

static const LineaAyuda velocidad[] = {{"IZQ./DER.", "ELEGIR LA VELOCIDAD"}, {"ENTER", "ACEPTAR"}, COMUNES};
AYUDA_CARTA(AYUDA_VELOCIDAD, "AYUDA", velocidad);
