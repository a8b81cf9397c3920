// lectura: opening a file for reading only when it is a regular file, without ever blocking
// (a FIFO, a device or a socket named as a level, a picture or a settings file is refused).
#ifndef KORV_LECTURA_H
#define KORV_LECTURA_H

#include <cstdio>

enum { MOTIVO_MAX = 160 };   // bytes of a reason, with its final zero

// Opens nombre for binary reading when it is a regular file (a link to one counts); NULL
// otherwise, with the Spanish reason in motivo (errno kept for a file that cannot be opened).
FILE *abre_regular(const char *nombre, char *motivo, int tam);
// True when nombre is a regular file that can be opened for reading, checked without blocking;
// otherwise false with the reason in motivo. For the readers of the library, which open by name.
bool es_regular(const char *nombre, char *motivo, int tam);

#endif
