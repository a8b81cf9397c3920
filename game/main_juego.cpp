// main: the game run through difficulty and levels, the two frame loops, level start and end.
#include "game/main.h"

#include "game/volumen.h"

#include <climits>
#include <cstdio>

#include "shared/ajustes.h"
#include "shared/conjuntos.h"
#include "shared/pantalla.h"
#include "shared/mando.h"
#include "game/verifica.h"
#include "shared/ritmo.h"
#include "game/ayudas.h"
#include "game/conjunto_juego.h"
#include "game/foco.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/presoverganec.h"
#include "game/repeticion_juego.h"
#include "game/utilfun.h"
#include "shared/idioma.h"

// Timeline of a level, seconds.
static const float CARTEL_SEG = 3.0f;       // the level card, and the messages of a run that cannot go on
static const float INICIO_SEG = 2.0f;       // level-start sound before the road moves
static const float FIN_NIVEL_SEG = 3.0f;    // level-complete sound before the next card

// Volumes of the music (MIDI volume, MP3 stream volume): in play, between levels.
enum { VOL_MIDI_JUEGO = 180, VOL_MIDI_PAUSA = 100, VOL_MP3_JUEGO = 255, VOL_MP3_PAUSA = 100, VOL_MIDI_LLENO = 255 };
enum { PAN_CENTRO = 128, FRECUENCIA = 1000, VOL_SONIDO = 255 };

// Position of the centred texts of a run (level card, messages).
enum { TEXTO_X = 160, TEXTO_Y = 110, TEXTO_PASO = 16 };
// The set's name on the level card, above its number.
enum { CONJUNTO_Y = 80, COL_CONJUNTO = 255 };

// Skip limit of the single-page loop: passes in a row without a picture.
enum { MAX_SALTOS = 30 };

int difi;
int ritmo_partida = RITMO_LLENO;

// Rotation state of the triple-buffered loop: 0 page1, 1 page2, 2 page3.
static int rotacion;

void clear(BITMAP *bmp)
{
    clear_bitmap(bmp);
}

// Plays a sound slot once or looping, when it was loaded; returns the voice or -1.
static int suena(int slot, int loop)
{
    return suena_efecto(sample[slot], VOL_SONIDO, PAN_CENTRO, FRECUENCIA, loop);
}

// Clears the page on view and shows up to two centred lines, for the given seconds. A second
// line wider than the screen (a long path) keeps its end, where the file's name is.
static void cartel(const char *l1, const char *l2, float seconds)
{
    clear(active_page);
    textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y, -1, bg, "%s", l1);
    if (l2) {
        char linea[sizeof archivo + 4];
        snprintf(linea, sizeof linea, "%s", l2);
        for (const char *p = l2; *p && text_length(font, linea) > PANTALLA_W; p++)
            snprintf(linea, sizeof linea, "...%s", p + 1);
        textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y + TEXTO_PASO, -1, bg, "%s", linea);
    }
    delay(seconds);
}

// Loads level number nivel into memory; false (message shown, stderr line) when it cannot.
static bool carga_nivel()
{
    if (nivel_suelto[0]) {
        snprintf(archivo, sizeof archivo, "%s", nivel_suelto);
        if (CargaMapa(archivo))
            return true;
        fprintf(stderr, _("KORVEX: no se pudo cargar el nivel %s\n"), archivo);
        cartel(_("NO SE PUDO CARGAR EL NIVEL"), archivo, CARTEL_SEG);
        return false;
    }
    if (nivel < 1 || nivel > niveles) {
        fprintf(stderr, _("KORVEX: no hay nivel %d en levels/\n"), nivel);
        cartel(_("NO HAY MAS NIVELES"), NULL, CARTEL_SEG);
        return false;
    }
    ruta_nivel(nivel - 1, archivo, sizeof archivo);
    if (CargaMapa(archivo))
        return true;
    fprintf(stderr, _("KORVEX: no se pudo cargar el nivel %s\n"), archivo);
    cartel(_("NO SE PUDO CARGAR EL NIVEL"), archivo, CARTEL_SEG);
    return false;
}

void empieza_partida()
{
    // A run starts from the same world whatever ran before it, so that a recording plays back
    // alike; the bags' pan, which only sounds, goes on alternating from game to game.
    mundo_empieza_partida();
}

void termina_partida()
{
    stopmp3();
    stopmidi();
    pon_volumen_midi(VOL_MIDI_LLENO);
}

void juega_niveles(bool con_cartel, int hasta)
{
    bool jugado = false;   // a level of this run was played: one that cannot be read is skipped
    pon_ayuda(NULL);       // the cards between levels wait for no key
    do {
        nivel = nivel + 1;
        clear(active_page);
        // One level from the command line starts at once: it is a try of that level.
        if (con_cartel) {
            if (muestra_conjunto())
                textprintf_centre_ex(active_page, font, TEXTO_X, CONJUNTO_Y, COL_CONJUNTO, bg, "%s",
                                     conjunto().nombre);
            textprintf_centre_ex(active_page, font, TEXTO_X, TEXTO_Y, -1, bg,
                                 practica ? _("PRACTICA: NIVEL %d") : _("SIGUIENTE NIVEL: %d"), nivel);
            delay(CARTEL_SEG);
        }
        // A close of the window during the card must not be overwritten by the level start.
        if (cambnib == EST_SALIR || salir)
            break;
        if (!carga_nivel()) {
            // A damaged level of the catalogue is skipped (its card named it); the run goes on
            // with the next one, and having completed every level that could be read wins.
            if (!nivel_suelto[0] && nivel < niveles && nivel < hasta && cambnib != EST_SALIR && !salir) {
                cambnib = EST_NIVEL_OK;
                continue;
            }
            if (cambnib != EST_SALIR)
                cambnib = jugado && !nivel_suelto[0] && nivel >= niveles ? EST_GANO : EST_TITULO;
            break;
        }
        jugado = true;
        // A level a game reaches and plays opens it to practice.
        if (rep_modo == MODO_JUGADOR && !practica && !nivel_suelto[0])
            anota_alcanzado(nivel);
        nscro = velocidad_nivel(nscr3, multi, animcon);
        if (triple_buffer == 1)
            game_main_loop();
        else
            game_main_loop2();
    } while (cambnib == EST_NIVEL_OK && !salir && nivel < hasta);
}

void game()
{
    empieza_partida();
    set_palette(the_palette);

    // Without levels there is nothing to play: back to the title.
    if (niveles <= 0 && !nivel_suelto[0]) {
        fprintf(stderr, _("KORVEX: no hay niveles en levels/\n"));
        cartel(_("NO HAY NIVELES"), NULL, CARTEL_SEG);
        if (cambnib != EST_SALIR)
            cambnib = EST_TITULO;
        return;
    }

    difi = dificultad_fija >= 0 ? dificultad_fija : seleciona_dificultad();
    if (difi < 0 || difi > 2)
        difi = 0;
    // A level tried alone tells its caller (the editor's J) the difficulty chosen in the menu.
    if (nivel_suelto[0] && dificultad_fija < 0 && cambnib != EST_SALIR) {
        printf("%s%d\n", LINEA_DIFICULTAD, difi);
        fflush(stdout);
    }
    vidas = dificultades[difi].vidas;
    nscr3 = dificultades[difi].velocidad;
    if (ritmo_hilo_corre())
        max_fps = ritmo_elegido().max_fps;   // a measured rate may have been measured better since
    // The pace slows every motion and timer of play alike through the time scale; the display's
    // pace (a picture per refresh) stays.
    ritmo_partida = aj_ritmo;
    animcon = escala_de_juego(max_fps, ritmo_partida);

    if (cambnib != EST_SALIR) {
        // A run of the catalogue is recorded; a level tried alone is not (it is no level of the catalogue).
        // A practice plays its one level, recorded as the last run.
        tick_juego = tick;
        if (!nivel_suelto[0])
            grabacion_empieza();
        if (practica)
            nivel = practica - 1;
        juega_niveles(!nivel_suelto[0], practica ? practica : INT_MAX);
        grabacion_termina();
    }
    termina_partida();
    if (practica)
        fin_practica();
    practica = 0;
}

// Level start, both loops: start values, the road filled, the first picture, sounds and music.
static void empieza_nivel(bool una_pagina)
{
    active_page = pvirtual;
    if (una_pagina)
        actual_page = lienzo_o_pantalla();
    prepara_nivel();
    act_grafica();
    // With -tbuf the presenter's destination is still the video page on view.
    blit(pvirtual, lienzo_o_pantalla(), 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
    presenta();
    suena(SND_INICIO, 0);
    // F1 in play pauses first: the pause shows the card, not the waits of the loop.
    pon_ayuda(rep_modo == MODO_REPRODUCE ? &AYUDA_REPETICION : &AYUDA_JUEGO);
    ayuda_diferida = 1;
    delay(INICIO_SEG);
    foco_empieza_nivel();
    pon_volumen_midi(VOL_MIDI_JUEGO);
    if (musicmp3 == 1)
        playmp3();
    else
        playmidimusic();
    pon_volumen_mp3(VOL_MP3_JUEGO);
    suena(SND_MOTOR, 1);
}

// Level end, both loops: music lowered, engine stopped, the level-complete sound and wait.
static void termina_nivel(bool una_pagina)
{
    ayuda_diferida = 0;
    pon_ayuda(NULL);
    pon_volumen_mp3(VOL_MP3_PAUSA);
    pon_volumen_midi(VOL_MIDI_PAUSA);
    if (sample[SND_MOTOR])
        stop_sample(sample[SND_MOTOR]);
    if (cambnib == EST_NIVEL_OK) {
        suena(SND_FIN_NIVEL, 0);
        delay(FIN_NIVEL_SEG);
    }
    // The screens after play draw on the page that is presented (the page on view with -tbuf).
    if (!una_pagina) {
        blit(pvirtual, lienzo_o_pantalla(), 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
        presenta_destino = actual_page;
        presenta_todo();
    }
    active_page = lienzo_o_pantalla();
}

// True while the level goes on: in play and the window not closed.
static bool sigue_nivel()
{
    return cambnib == EST_JUEGO && !salir;
}

void game_main_loop()
{
    empieza_nivel(false);
    BITMAP *pagina = page1;
    rotacion = 0;
    do {
        act_logica();
        act_grafica();
        while (poll_scroll())
            ;
        if (korv::sync == 1)
            vsync();
        presenta_pagina(pvirtual, pagina);
        request_video_bitmap(pagina);
        actual_page = pagina;
        rotacion = (rotacion + 1) % 3;
        pagina = rotacion == 0 ? page1 : rotacion == 1 ? page2 : page3;
        mando_actualiza();
    } while (sigue_nivel());
    termina_nivel(false);
}

int pasada_bucle2(PasoBucle *p)
{
    if (p->next <= tick) {
        act_logica();
        p->next = p->next + 1;
        p->nuevo = 1;
    }
    if (p->next < tick && p->skipped <= MAX_SALTOS) {
        p->skipped = p->skipped + 1;
        return 0;
    }
    // Every skipped pass ran a step, so an unchanged state here means nothing was skipped either.
    if (!p->nuevo)
        return 0;
    act_grafica();
    blit(pvirtual, actual_page, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
    presenta();
    if (p->skipped > MAX_SALTOS)
        p->next = tick;
    p->skipped = 0;
    p->nuevo = 0;
    return 1;
}

bool bucle2_al_dia(const PasoBucle *p)
{
    return p->next > tick && !p->nuevo;
}

void game_main_loop2()
{
    empieza_nivel(true);
    PasoBucle p;
    p.next = tick;
    p.skipped = 0;
    p.nuevo = 0;   // the level start has shown the first picture
    do {
        pasada_bucle2(&p);
        // Until the next tick there is neither a step to run nor a picture to draw.
        while (bucle2_al_dia(&p) && sigue_nivel())
            reposa();
    } while (sigue_nivel());
    termina_nivel(true);
}
