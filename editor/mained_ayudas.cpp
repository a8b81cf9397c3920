// mained: the editor's help cards, one per screen that takes keys (F1 shows the one on view).
#include "editor/mained.h"
#include "shared/idioma.h"

// Keys every screen of the editor shares, last on each card.
#define COMUNES {"F11", N_("PANTALLA COMPLETA")}, {"F1", N_("ESTA AYUDA")}

static const LineaAyuda edicion[] = {
    {N_("FLECHAS"), N_("MOVER EL CURSOR")},      {N_("ESPACIO"), N_("MODO FONDO / ENEMIGO")},
    {"A / S", N_("BLOQUE O ENEMIGO -/+")},   {"D", N_("PONER")},
    {"F", N_("QUITAR EL ENEMIGO")},          {"J", N_("PROBAR DESDE AQUI")},
    {N_("CTRL+Z"), N_("DESHACER")},              {N_("CTRL+Y"), N_("REHACER")},
    {N_("RATON IZQ."), N_("PONER")},             {N_("RATON DER."), N_("QUITAR EL ENEMIGO")},
    {N_("RUEDA"), N_("BLOQUE O ENEMIGO -/+")},   {N_("BORDES"), N_("CORRER LA VISTA")},
    {"ESC", N_("MENU")},                     COMUNES};
AYUDA_CARTA(AYUDA_EDICION, N_("AYUDA"), edicion);

static const LineaAyuda menu[] = {
    {N_("ARRIBA/ABAJO"), N_("ELEGIR")}, {N_("IZQ./DER."), N_("CAMBIAR DE CONJUNTO")}, {"ENTER", N_("ACEPTAR")},
    {"ESC", N_("VOLVER AL MAPA")}, COMUNES};
AYUDA_CARTA(AYUDA_MENU, N_("AYUDA"), menu);

static const LineaAyuda conjuntos_menu[] = {
    {N_("ARRIBA/ABAJO"), N_("ELEGIR")}, {"ENTER", N_("ACEPTAR")}, {"ESC", N_("VOLVER AL MENU")}, COMUNES};
AYUDA_CARTA(AYUDA_CONJUNTOS, N_("AYUDA"), conjuntos_menu);

static const LineaAyuda como[] = {
    {N_("IZQ./DER."), N_("ELEGIR EL CONJUNTO")}, {N_("ARRIBA/ABAJO"), N_("ELEGIR EL NUMERO")}, {"ENTER", N_("GUARDAR")},
    {"ESC", N_("NO GUARDAR")}, COMUNES};
AYUDA_CARTA(AYUDA_GUARDAR_COMO, N_("AYUDA"), como);

static const LineaAyuda escribe[] = {
    {N_("LETRAS, NUMEROS"), N_("ESCRIBIR")}, {N_("BORRAR"), N_("BORRAR LA ULTIMA")}, {"ENTER", N_("ACEPTAR")}, {"ESC", N_("NO HACERLO")},
    COMUNES};
AYUDA_CARTA(AYUDA_ESCRIBE, N_("AYUDA"), escribe);

static const LineaAyuda lista[] = {
    {N_("ARRIBA/ABAJO"), N_("ELEGIR UN NIVEL")}, {"ENTER", N_("ABRIRLO")}, COMUNES};
AYUDA_CARTA(AYUDA_LISTA, N_("AYUDA"), lista);

static const LineaAyuda elige[] = {
    {N_("ARRIBA/ABAJO"), N_("ELEGIR")}, {"ENTER", N_("ACEPTAR")}, {"ESC", N_("VOLVER")}, COMUNES};
AYUDA_CARTA(AYUDA_ELIGE, N_("AYUDA"), elige);

static const LineaAyuda si_no[] = {{N_("ARRIBA/ABAJO"), N_("SI O NO")}, {"ENTER", N_("ACEPTAR")}, COMUNES};
AYUDA_CARTA(AYUDA_SI_NO, N_("AYUDA"), si_no);

static const LineaAyuda velocidad[] = {{N_("IZQ./DER."), N_("ELEGIR LA VELOCIDAD")}, {"ENTER", N_("ACEPTAR")}, COMUNES};
AYUDA_CARTA(AYUDA_VELOCIDAD, N_("AYUDA"), velocidad);
