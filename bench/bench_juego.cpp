// Benchmarks of the game's work without a display: one tick of play with its picture (quiet and
// crowded) beside a plain full-screen copy, the road's scroll, the level loader, and the MP3
// decoding of our stream layer. Run from any folder; the data come from the runnable folder.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "game/almp3.h"
#include "game/main.h"
#include "game/mp3.h"
#include "game/musica.h"
#include "game/utilfun.h"
#include "shared/pantalla.h"

namespace {

// The level every benchmark of play runs on, and the highest scroll speed of the game:
// "SOY JODIDO" (5 pixels per 1/75 s) on a level of speed code 3 (x2), at 75 Hz.
const char *NIVEL = "levels/nivel_01.map";
const float VELOCIDAD_MAX = 10.0f;
const int HZ = 75;

// Enemies, splashes and explosion of the crowded stretch.
enum { ENEMIGOS_LLENO = 30, COLS_LLENO = 8, PRIMERA_FILA = 1, FILAS_LLENO = 4, FUEGO_LLENO = 60 };
// The MP3 song decoded: seconds of sound.
const double MP3_SEGUNDOS = 30.0;

bool preparado = false;
std::string carpeta_tmp;   // temporary folder of the MP3 song ("" until made); removed at the end

// Loads what play needs, as the game's start-up does (pictures, font, pages, enemy table).
bool prepara()
{
    if (preparado)
        return true;
    if (chdir(KORV_DIR) != 0) {
        fprintf(stderr, "bench_juego: no existe %s (compile el juego primero)\n", KORV_DIR);
        return false;
    }
    DATAFILE *d = load_datafile("datos/font.dat");
    if (!d || !CargarBMP() || !reserva_enemigos()) {
        fprintf(stderr, "bench_juego: faltan los datos en %s/datos\n", KORV_DIR);
        return false;
    }
    font2 = font;
    font = (FONT *)d[1].dat;
    bg = -1;
    pvirtual = create_bitmap(PANTALLA_W, PANTALLA_H);
    actual_page = create_bitmap(PANTALLA_W, PANTALLA_H);
    scroll = create_bitmap(2 * PANTALLA_W, CAMPO_H);
    proximo_bloque = create_bitmap(BLOQUE_W, CAMPO_H);
    clear_bitmap(scroll);
    clear_bitmap(proximo_bloque);
    active_page = pvirtual;
    max_fps = HZ;
    animcon = escala_tiempo(HZ);
    preparado = true;
    return true;
}

// A level in play at the highest speed: nothing on the road, no effect, no song line.
void empieza_tranquilo()
{
    CargaMapa(NIVEL);
    memset(enemi, 0, ENE_BYTES);
    for (int k = 0; k < KEY_MAX; k++)
        key[k] = 0;
    mundo_empieza_partida();
    animcon = escala_tiempo(HZ);
    vidas = 5;
    mensaje = 0;
    nivel = 1;
    niveles = 6;
    tick = 0;
    nscro = VELOCIDAD_MAX;
    prepara_nivel();
}

// Puts 30 enemies of every type on the screen as it stands, six splashes and the flames of an
// explosion, the song line on, and the road at full speed again.
void llena_pantalla()
{
    memset(enemi, 0, ENE_BYTES);
    int izq = (MAPA_COLS * BLOQUE_W * scr5 + scr1 - PANTALLA_W) / BLOQUE_W;
    for (int i = 0; i < ENEMIGOS_LLENO; i++)
        ene_pon(i, izq + 1 + i % COLS_LLENO, BLOQUE_H * (PRIMERA_FILA + i / COLS_LLENO % FILAS_LLENO),
                1 + i % TIPO_MAX);
    for (int i = 0; i < SLOTS_SANGRE; i++)
        sanani[i] = Salpicadura{70.0f - 10.0f * i, 60 + 12 * i, 10.0f + 8.0f * i};
    sang = 1;
    fuego = (float)FUEGO_LLENO;
    mensaje = 3;
    nscr2 = nscro;
}

// Starts the level again before the road ends.
void sin_final(benchmark::State &st)
{
    if (scr5 < PASADAS - 1)
        return;
    st.PauseTiming();
    empieza_tranquilo();
    st.ResumeTiming();
}

void BM_BlitPantalla(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    for (auto _ : st) {
        blit(pvirtual, actual_page, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlitPantalla);

// One whole present at scale N (the page enlarged and copied to a 320N x 240N memory screen):
// what the presenter does each frame of play, less the display driver's own conversion.
void BM_Presenta(benchmark::State &st)
{
    const int n = (int)st.range(0);
    BITMAP *pantalla = create_bitmap_ex(8, PANTALLA_W * n, PANTALLA_H * n);
    if (!prepara() || !pantalla || !prepara_lienzo(n, 0, 0)) {
        st.SkipWithError("sin datos o sin memoria");
        return;
    }
    presenta_destino = pantalla;
    blit(imagen2, lienzo, 0, 0, 0, 0, PANTALLA_W, PANTALLA_H);
    for (auto _ : st) {
        presenta_todo();
        presenta();
        benchmark::ClobberMemory();
    }
    presenta_destino = NULL;
    libera_paginas();
    destroy_bitmap(pantalla);
}
BENCHMARK(BM_Presenta)->Arg(1)->Arg(3)->Arg(4);

void BM_TickYDibujoTranquilo(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    empieza_tranquilo();
    for (auto _ : st) {
        tick = tick + 1;
        act_logica();
        act_grafica();
        benchmark::ClobberMemory();
        sin_final(st);
    }
}
BENCHMARK(BM_TickYDibujoTranquilo);

void BM_TickYDibujoLleno(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    empieza_tranquilo();
    scro(PANTALLA_W);   // enemies can be listed from here on
    int listados = 0;
    for (auto _ : st) {
        llena_pantalla();   // a handful of stores: the effects and enemies as they were
        tick = tick + 1;
        act_logica();
        act_grafica();
        benchmark::ClobberMemory();
        listados = spr_cant;
        sin_final(st);
    }
    st.counters["enemigos"] = listados;
}
BENCHMARK(BM_TickYDibujoLleno);

void BM_ScroVelocidadMaxima(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    empieza_tranquilo();
    for (auto _ : st) {
        scro(VELOCIDAD_MAX);
        benchmark::ClobberMemory();
        sin_final(st);
    }
}
BENCHMARK(BM_ScroVelocidadMaxima);

void BM_CargaMapa(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    for (auto _ : st)
        if (!CargaMapa(NIVEL))
            st.SkipWithError("no se pudo cargar el nivel");
}
BENCHMARK(BM_CargaMapa);

// Makes an MP3 song with sox and lame: a chord over pink noise, stereo 44.1 kHz, lame's default
// 128 kbit/s; its path, or "" when the tools are missing.
std::string cancion_mp3()
{
    static std::string ruta;
    if (!ruta.empty())
        return ruta;
    char carpeta[] = "/tmp/korvbench.XXXXXX";
    if (!mkdtemp(carpeta))
        return "";
    carpeta_tmp = carpeta;
    std::string r = carpeta_tmp + "/cancion.mp3";
    char orden[1024];
    snprintf(orden, sizeof orden,
             "sox -n -r 44100 -c 2 -b 16 '%s/c.wav' synth %.1f pinknoise sine 220 sine 330 sine 440 "
             "remix 1,2v0.5 3,4v0.5 vol 0.4 && lame --quiet '%s/c.wav' '%s' && rm -f '%s/c.wav'",
             carpeta, MP3_SEGUNDOS, carpeta, r.c_str(), carpeta);
    if (system(orden) != 0)
        return "";
    ruta = r;
    return ruta;
}

void BM_Mp3Decodifica(benchmark::State &st)
{
    if (!prepara()) {
        st.SkipWithError("sin datos");
        return;
    }
    std::string ruta = cancion_mp3();
    if (ruta.empty()) {
        st.SkipWithError("no se pudo hacer la cancion (sox, lame)");
        return;
    }
    install_sound(DIGI_NONE, MIDI_NONE, NULL);   // null driver: the stream takes every buffer at once
    for (auto _ : st) {
        mp3_file *f = open_mp3_file(ruta.c_str());
        if (!f || play_mp3_file(f, 65536, 255, 128) != 0) {
            st.SkipWithError("no se pudo abrir la cancion");
            close_mp3_file(f);
            break;
        }
        while (poll_mp3_file(f) == ALMP3_POLL_OK)
            ;
        close_mp3_file(f);
    }
    // Seconds of sound per second of CPU (rates are taken over the CPU time).
    st.counters["audio_s_por_cpu_s"] =
        benchmark::Counter(MP3_SEGUNDOS * (double)st.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mp3Decodifica)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(8);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!carpeta_tmp.empty())
        std::filesystem::remove_all(carpeta_tmp);
    return 0;
}
