// ayudas: the game's help cards, one per screen that takes keys (F1 shows the one on view).
#include "game/ayudas.h"

// Keys every screen of the game shares, last on each card.
#define COMUNES {"M", "MUSICA SI / NO"}, {"F11", "PANTALLA COMPLETA"}, {"F1", "ESTA AYUDA"}

static const LineaAyuda estudio[] = {{"UNA TECLA", "PASAR AL TITULO"}, COMUNES};
AYUDA_CARTA(AYUDA_ESTUDIO, "AYUDA", estudio);

static const LineaAyuda titulo[] = {
    {"ENTER", "JUGAR"}, {"ESPACIO", "VER LOS RECORDS"}, {"O", "OPCIONES"}, {"ESC", "SALIR DEL JUEGO"},
    {"SIN TOCAR", "RECORDS Y DEMO"}, COMUNES};
AYUDA_CARTA(AYUDA_TITULO, "AYUDA", titulo);

// The tables: R only where that table's best run is kept; in the title's loop ENTER and ESC go
// back to the title, after a run any key goes on.
#define MEJOR {"R", "VER LA MEJOR PARTIDA"}
#define EN_TITULO {"ENTER / ESC", "VOLVER AL TITULO"}, {"OTRA TECLA", "SIGUIENTE TABLA"}
static const LineaAyuda tablas[] = {MEJOR, EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS, "AYUDA", tablas);
static const LineaAyuda tablas_sin_mejor[] = {EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS_SIN_MEJOR, "AYUDA", tablas_sin_mejor);
static const LineaAyuda tabla[] = {MEJOR, {"UNA TECLA", "SEGUIR"}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA, "AYUDA", tabla);
static const LineaAyuda tabla_sin_mejor[] = {{"UNA TECLA", "SEGUIR"}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA_SIN_MEJOR, "AYUDA", tabla_sin_mejor);

// The same with the online tables set: E sends the best run, L switches to the online table.
#define EN_LINEA {"E", "ENVIAR LA MEJOR AL MARCADOR"}, {"L", "TABLA EN LINEA / LOCAL"}
static const LineaAyuda tablas_red[] = {MEJOR, EN_LINEA, EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS_RED, "AYUDA", tablas_red);
static const LineaAyuda tablas_red_sin_mejor[] = {{"L", "TABLA EN LINEA / LOCAL"}, EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS_RED_SIN_MEJOR, "AYUDA", tablas_red_sin_mejor);
static const LineaAyuda tabla_red[] = {MEJOR, EN_LINEA, {"UNA TECLA", "SEGUIR"}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA_RED, "AYUDA", tabla_red);
static const LineaAyuda tabla_red_sin_mejor[] = {{"L", "TABLA EN LINEA / LOCAL"}, {"UNA TECLA", "SEGUIR"}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA_RED_SIN_MEJOR, "AYUDA", tabla_red_sin_mejor);

const Ayuda *carta_tablas(bool en_titulo, bool mejor, bool en_red)
{
    if (en_red && en_titulo)
        return mejor ? &AYUDA_TABLAS_RED : &AYUDA_TABLAS_RED_SIN_MEJOR;
    if (en_red)
        return mejor ? &AYUDA_TABLA_RED : &AYUDA_TABLA_RED_SIN_MEJOR;
    if (en_titulo)
        return mejor ? &AYUDA_TABLAS : &AYUDA_TABLAS_SIN_MEJOR;
    return mejor ? &AYUDA_TABLA : &AYUDA_TABLA_SIN_MEJOR;
}

static const LineaAyuda dificultad[] = {
    {"ARRIBA/ABAJO", "ELEGIR LA DIFICULTAD"}, {"ENTER", "EMPEZAR LA PARTIDA"}, {"ESC", "SALIR DEL JUEGO"},
    COMUNES};
AYUDA_CARTA(AYUDA_DIFICULTAD, "AYUDA", dificultad);
static const LineaAyuda dificultad_conjunto[] = {
    {"ARRIBA/ABAJO", "DIFICULTAD O PRACTICAR"}, {"IZQ./DER.", "CAMBIAR EL CONJUNTO"}, {"ENTER", "EMPEZAR"},
    {"ESC", "SALIR DEL JUEGO"}, COMUNES};
AYUDA_CARTA(AYUDA_DIFICULTAD_CONJUNTO, "AYUDA", dificultad_conjunto);
static const LineaAyuda practica[] = {
    {"IZQ./DER.", "ELEGIR EL NIVEL"}, {"ARRIBA/ABAJO", "ELEGIR LA DIFICULTAD"}, {"ENTER", "JUGAR LA PRACTICA"},
    {"ESC", "VOLVER AL MENU"}, COMUNES};
AYUDA_CARTA(AYUDA_PRACTICA, "AYUDA", practica);

static const LineaAyuda opciones[] = {
    {"ARRIBA/ABAJO", "ELEGIR UNA LINEA"}, {"IZQ./DER.", "CAMBIAR EL VALOR"},
    {"ENTER", "ACEPTAR"}, {"ESC", "VOLVER AL TITULO"}, COMUNES};
AYUDA_CARTA(AYUDA_OPCIONES, "AYUDA", opciones);

static const LineaAyuda tecla_nueva[] = {
    {"UNA TECLA", "LA NUEVA TECLA"}, {"ESC", "DEJAR LA QUE ESTABA"}, COMUNES};
AYUDA_CARTA(AYUDA_TECLA_NUEVA, "AYUDA", tecla_nueva);

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
