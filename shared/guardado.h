// guardado: what keeps saved files whole across programs and power cuts: the lock beside a
// file, the flush of a folder after a rename, the removal of temporaries left by killed saves.
#ifndef KORV_GUARDADO_H
#define KORV_GUARDADO_H

// Name prefix of the temporary files a save writes beside the file it replaces.
#define PREFIJO_TEMPORAL ".korvtmp"
// Name suffix of the lock file beside a file that several programs may rewrite at once.
#define SUFIJO_CERROJO ".lock"

enum {
    CERROJO_ESPERA_MS = 2000,   // longest wait for a lock held by another program, ms
    TEMPORAL_VIEJO_S = 60       // a temporary older than this, seconds, belongs to a save that died
};

// Takes the exclusive lock of file ruta (the lock file ruta + ".lock", made when missing),
// waiting at most CERROJO_ESPERA_MS for another holder. Returns the lock's descriptor, or -1
// with a stderr line naming the file when it cannot be had (the caller saves anyway).
int toma_cerrojo(const char *ruta);
// Releases a lock returned by toma_cerrojo; nothing for -1.
void suelta_cerrojo(int cerrojo);
// Flushes the folder holding file ruta to disk, so that a rename just made in it survives a
// power cut. False (a stderr line) when the folder cannot be flushed.
bool asienta_carpeta(const char *ruta);
// Removes, in folder carpeta, the regular files named PREFIJO_TEMPORAL... older than
// TEMPORAL_VIEJO_S; nothing else is touched. Returns how many went.
int limpia_temporales(const char *carpeta);
// Removes, in folder carpeta, the folders named PREFIJO_TEMPORAL... older than TEMPORAL_VIEJO_S
// (an install of a level set that died) with the plain files in them. Returns how many went.
int limpia_carpetas_temporales(const char *carpeta);
// The same as limpia_temporales in the folder holding file ruta (nothing for "").
int limpia_carpeta_de(const char *ruta);

#endif
