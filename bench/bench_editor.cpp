// Benchmarks of the editor's map work without a display: the enemy grid rebuilt from a loaded
// level (cargamatrizene) and the editor's save (gurdarmapa: table rebuilt, file written through a
// temporary file, flushed to disk and renamed), on the fullest shipped level.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "editor/mained.h"

namespace {

// Shipped levels; the one with the most enemies is used.
const char *NIVELES[] = {"nivel_01.map", "nivel_02.map", "nivel_03.map",
                         "nivel_04.map", "nivel_05.map", "nivel_06.map"};

std::string nivel_lleno;   // absolute path of the fullest shipped level
int enemigos_nivel = 0;    // its enemies
bool preparado = false;
std::string carpeta_tmp;   // the temporary working folder ("" until made); removed at the end

// Finds the fullest level of the runnable folder and moves into a fresh folder with levels/.
bool prepara()
{
    if (preparado)
        return true;
    if (!reserva_enemigos())
        return false;
    for (const char *n : NIVELES) {
        std::string r = std::string(KORV_DIR) + "/levels/" + n;
        if (!CargaMapa(r.c_str()))
            continue;
        int cuenta = 0;
        for (int i = 0; i < ENE_MAX; i++)
            cuenta += ene_tipo(i) != 0;
        if (cuenta > enemigos_nivel) {
            enemigos_nivel = cuenta;
            nivel_lleno = r;
        }
    }
    if (nivel_lleno.empty()) {
        fprintf(stderr, "bench_editor: no hay niveles en %s/levels (compile el juego primero)\n", KORV_DIR);
        return false;
    }
    char carpeta[] = "/tmp/korvbench.XXXXXX";
    if (!mkdtemp(carpeta))
        return false;
    carpeta_tmp = carpeta;
    if (chdir(carpeta) != 0 || mkdir("levels", 0777) != 0)
        return false;
    preparado = true;
    return true;
}

void BM_Cargamatrizene(benchmark::State &st)
{
    if (!prepara() || !CargaMapa(nivel_lleno.c_str())) {
        st.SkipWithError("sin niveles");
        return;
    }
    for (auto _ : st) {
        cargamatrizene();
        benchmark::ClobberMemory();
    }
    st.counters["enemigos"] = enemigos_nivel;
}
BENCHMARK(BM_Cargamatrizene);

void BM_GuardaMapaEditor(benchmark::State &st)
{
    if (!prepara() || !CargaMapa(nivel_lleno.c_str())) {
        st.SkipWithError("sin niveles");
        return;
    }
    cargamatrizene();
    snprintf(archivo, sizeof archivo, "levels/bench.map");
    for (auto _ : st) {
        modifi = 1;
        if (!gurdarmapa()) {
            st.SkipWithError("no se pudo guardar");
            break;
        }
    }
    st.counters["enemigos"] = enemigos_nivel;
}
BENCHMARK(BM_GuardaMapaEditor)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0)
        return 1;
    set_color_depth(8);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!carpeta_tmp.empty()) {
        if (chdir("/") == 0)
            std::filesystem::remove_all(carpeta_tmp);
    }
    return 0;
}
