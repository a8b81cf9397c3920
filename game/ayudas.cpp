// ayudas: the game's help cards, one per screen that takes keys (F1 shows the one on view).
#include "game/ayudas.h"

// Keys every screen of the game shares, last on each card.
#define COMUNES {"M", "MUSICA SI / NO"}, {"F11", "PANTALLA COMPLETA"}, {"F1", "ESTA AYUDA"}

static const LineaAyuda estudio[] = {{"UNA TECLA", "PASAR AL TITULO"}, COMUNES};
AYUDA_CARTA(AYUDA_ESTUDIO, "AYUDA", estudio);

static const LineaAyuda titulo[] = {
    {"ENTER", "JUGAR"}, {"O", "OPCIONES"}, {"ESC", "SALIR DEL JUEGO"},
    {"SIN TOCAR", "RECORDS Y DEMO"}, COMUNES};
AYUDA_CARTA(AYUDA_TITULO, "AYUDA", titulo);

static const LineaAyuda tablas[] = {
    {"R", "VER LA MEJOR PARTIDA"}, {"OTRA TECLA", "SIGUIENTE TABLA"}, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS, "AYUDA", tablas);

static const LineaAyuda dificultad[] = {
    {"ARRIBA/ABAJO", "ELEGIR LA DIFICULTAD"}, {"ENTER", "EMPEZAR LA PARTIDA"}, {"ESC", "SALIR DEL JUEGO"},
    COMUNES};
AYUDA_CARTA(AYUDA_DIFICULTAD, "AYUDA", dificultad);

static const LineaAyuda opciones[] = {
    {"ARRIBA/ABAJO", "ELEGIR UNA LINEA"}, {"IZQ./DER.", "CAMBIAR EL VALOR"},
    {"ENTER", "ACEPTAR"}, {"ESC", "VOLVER AL TITULO"}, COMUNES};
AYUDA_CARTA(AYUDA_OPCIONES, "AYUDA", opciones);

static const LineaAyuda iniciales[] = {
    {"ARRIBA/ABAJO", "CAMBIAR LA LETRA"}, {"IZQ./DER.", "OTRA LETRA"}, {"ENTER", "SIGUIENTE / GUARDAR"},
    COMUNES};
AYUDA_CARTA(AYUDA_INICIALES, "AYUDA", iniciales);

static const LineaAyuda juego[] = {
    {"@0", "SUBIR DE CARRIL"}, {"@1", "BAJAR DE CARRIL"}, {"@2", "PAUSA / SEGUIR"},
    {"ESC", "DEJAR LA PARTIDA"}, COMUNES};
AYUDA_CARTA(AYUDA_JUEGO, "AYUDA", juego);

static const LineaAyuda repeticion[] = {
    {"@2", "PAUSA / SEGUIR"}, {"ESC", "DEJAR DE MIRAR"}, COMUNES};
AYUDA_CARTA(AYUDA_REPETICION, "AYUDA", repeticion);
