// ayudas: the game's help cards, one per screen that takes keys (F1 shows the one on view).
#include "game/ayudas.h"
#include "shared/idioma.h"

// Keys every screen of the game shares, last on each card.
#define COMUNES {"M", N_("MUSICA SI / NO")}, {"F11", N_("PANTALLA COMPLETA")}, {"F1", N_("ESTA AYUDA")}

static const LineaAyuda estudio[] = {{N_("UNA TECLA"), N_("PASAR AL TITULO")}, COMUNES};
AYUDA_CARTA(AYUDA_ESTUDIO, N_("AYUDA"), estudio);

static const LineaAyuda titulo[] = {
    {"ENTER", N_("JUGAR")}, {N_("ESPACIO"), N_("VER LOS RECORDS")}, {"O", N_("OPCIONES")}, {"ESC", N_("SALIR DEL JUEGO")},
    {N_("SIN TOCAR"), N_("RECORDS Y DEMO")}, COMUNES};
AYUDA_CARTA(AYUDA_TITULO, N_("AYUDA"), titulo);

// The tables: R only where that table's best run is kept; in the title's loop ENTER and ESC go
// back to the title, after a run any key goes on.
#define MEJOR {"R", N_("VER LA MEJOR PARTIDA")}
#define EN_TITULO {N_("ENTER / ESC"), N_("VOLVER AL TITULO")}, {N_("OTRA TECLA"), N_("SIGUIENTE TABLA")}
static const LineaAyuda tablas[] = {MEJOR, EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS, N_("AYUDA"), tablas);
static const LineaAyuda tablas_sin_mejor[] = {EN_TITULO, COMUNES};
AYUDA_CARTA(AYUDA_TABLAS_SIN_MEJOR, N_("AYUDA"), tablas_sin_mejor);
static const LineaAyuda tabla[] = {MEJOR, {N_("UNA TECLA"), N_("SEGUIR")}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA, N_("AYUDA"), tabla);
static const LineaAyuda tabla_sin_mejor[] = {{N_("UNA TECLA"), N_("SEGUIR")}, COMUNES};
AYUDA_CARTA(AYUDA_TABLA_SIN_MEJOR, N_("AYUDA"), tabla_sin_mejor);

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
    {N_("ARRIBA/ABAJO"), N_("ELEGIR LA DIFICULTAD")}, {"ENTER", N_("EMPEZAR LA PARTIDA")}, {"ESC", N_("SALIR DEL JUEGO")},
    COMUNES};
AYUDA_CARTA(AYUDA_DIFICULTAD, N_("AYUDA"), dificultad);
static const LineaAyuda dificultad_conjunto[] = {
    {N_("ARRIBA/ABAJO"), N_("DIFICULTAD/PRACTICAR")}, {N_("IZQ./DER."), N_("CAMBIAR EL CONJUNTO")}, {"ENTER", N_("EMPEZAR")},
    {"ESC", N_("SALIR DEL JUEGO")}, COMUNES};
AYUDA_CARTA(AYUDA_DIFICULTAD_CONJUNTO, N_("AYUDA"), dificultad_conjunto);
static const LineaAyuda practica[] = {
    {N_("IZQ./DER."), N_("ELEGIR EL NIVEL")}, {N_("ARRIBA/ABAJO"), N_("ELEGIR LA DIFICULTAD")}, {"ENTER", N_("JUGAR LA PRACTICA")},
    {"ESC", N_("VOLVER AL MENU")}, COMUNES};
AYUDA_CARTA(AYUDA_PRACTICA, N_("AYUDA"), practica);

static const LineaAyuda opciones[] = {
    {N_("ARRIBA/ABAJO"), N_("ELEGIR UNA LINEA")}, {N_("IZQ./DER."), N_("CAMBIAR EL VALOR")},
    {"ENTER", N_("ACEPTAR")}, {"ESC", N_("VOLVER AL TITULO")}, COMUNES};
AYUDA_CARTA(AYUDA_OPCIONES, N_("AYUDA"), opciones);

static const LineaAyuda tecla_nueva[] = {
    {N_("UNA TECLA"), N_("LA NUEVA TECLA")}, {"ESC", N_("DEJAR LA QUE ESTABA")}, COMUNES};
AYUDA_CARTA(AYUDA_TECLA_NUEVA, N_("AYUDA"), tecla_nueva);

static const LineaAyuda iniciales[] = {
    {N_("ARRIBA/ABAJO"), N_("CAMBIAR LA LETRA")}, {N_("IZQ./DER."), N_("OTRA LETRA")}, {"ENTER", N_("SIGUIENTE / GUARDAR")},
    COMUNES};
AYUDA_CARTA(AYUDA_INICIALES, N_("AYUDA"), iniciales);

static const LineaAyuda juego[] = {
    {"@0", N_("SUBIR DE CARRIL")}, {"@1", N_("BAJAR DE CARRIL")}, {"@2", N_("PAUSA / SEGUIR")},
    {"ESC", N_("DEJAR LA PARTIDA")}, COMUNES};
AYUDA_CARTA(AYUDA_JUEGO, N_("AYUDA"), juego);

static const LineaAyuda repeticion[] = {
    {"@2", N_("PAUSA / SEGUIR")}, {"ESC", N_("DEJAR DE MIRAR")}, COMUNES};
AYUDA_CARTA(AYUDA_REPETICION, N_("AYUDA"), repeticion);
