#!/usr/bin/env python3
"""Prints the medians of the benchmark programs' JSON output: times, the frames as a multiple of
the plain full-screen copy measured in the same run, and the MP3 decoding speed.

    resumen.py juego.json editor.json
"""
import json
import sys

UNIDAD = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

# Benchmark name, label, how to show its time.
FILAS = [
    ("BM_BlitPantalla", "blit 320x240 (memoria a memoria)"),
    ("BM_Presenta/1", "presentar x1 (320x240)"),
    ("BM_Presenta/3", "presentar x3 (960x720)"),
    ("BM_Presenta/4", "presentar x4 (1280x960)"),
    ("BM_TickYDibujoTranquilo", "tick + dibujo, tranquilo"),
    ("BM_TickYDibujoLleno", "tick + dibujo, lleno (30 enemigos, salpicaduras, explosion)"),
    ("BM_ScroVelocidadMaxima", "scro(10.0), velocidad maxima"),
    ("BM_CargaMapa", "CargaMapa"),
    ("BM_Cargamatrizene", "cargamatrizene"),
    ("BM_GuardaMapaEditor", "guardar en el editor (gurdarmapa, con fsync)"),
    ("BM_Mp3Decodifica", "MP3: 30 s de cancion decodificados"),
]


def medianas(rutas):
    m = {}
    for ruta in rutas:
        with open(ruta) as f:
            datos = json.load(f)
        for b in datos["benchmarks"]:
            if b.get("aggregate_name") == "median":
                m[b["run_name"]] = b
    return m


def texto(seg):
    for u, f in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if seg >= f:
            return "%.3g %s" % (seg / f, u)
    return "%.3g ns" % (seg / 1e-9)


def main():
    m = medianas(sys.argv[1:])
    blit = m.get("BM_BlitPantalla")
    blit_cpu = blit["cpu_time"] * UNIDAD[blit["time_unit"]] if blit else None
    print("%-62s %10s %10s %8s" % ("mediana", "real", "cpu", "x blit"))
    for nombre, etiqueta in FILAS:
        b = m.get(nombre)
        if not b:
            print("%-62s %10s" % (etiqueta, "(no medido)"))
            continue
        u = UNIDAD[b["time_unit"]]
        real, cpu = b["real_time"] * u, b["cpu_time"] * u
        veces = "%.1f" % (cpu / blit_cpu) if blit_cpu and nombre.startswith(("BM_TickYDibujo", "BM_Presenta")) else ""
        print("%-62s %10s %10s %8s" % (etiqueta, texto(real), texto(cpu), veces))
    mp3 = m.get("BM_Mp3Decodifica")
    if mp3 and "audio_s_por_cpu_s" in mp3:
        print("MP3: %.0f segundos de sonido por segundo de CPU" % mp3["audio_s_por_cpu_s"])
    lleno = m.get("BM_TickYDibujoLleno")
    if lleno:
        cpu = lleno["cpu_time"] * UNIDAD[lleno["time_unit"]]
        print("tick + dibujo lleno a 75 Hz: %.2f %% de un procesador" % (100 * cpu * 75))


if __name__ == "__main__":
    main()
