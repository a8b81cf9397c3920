// mundo: the world of play, its checksum and its resets, all from the one list MUNDO.
#include "game/mundo.h"

#include <cstring>

#include "shared/carga.h"
#include "shared/repeticion.h"

Mundo mundo;

// Every field of the record is in the table, and the record has no padding: its bytes are its
// fields' bytes, so a copy or a checksum of the fields misses nothing.
#define MUNDO_TABLA(tipo, nombre, dims, inicio, otra_vez, suma) \
    {#nombre, offsetof(Mundo, nombre), sizeof(Mundo::nombre), otra_vez, suma},
const CampoMundo campos_mundo[] = {MUNDO(MUNDO_TABLA)};
#undef MUNDO_TABLA
const int CAMPOS_MUNDO = sizeof campos_mundo / sizeof campos_mundo[0];

#define MUNDO_BYTES(tipo, nombre, dims, inicio, otra_vez, suma) +sizeof(Mundo::nombre)
static_assert(sizeof(Mundo) == 0 MUNDO(MUNDO_BYTES), "the world's record must have no padding");
#undef MUNDO_BYTES

// The field's bytes in the record (the state's volatile is of no matter to a copy between ticks).
static unsigned char *bytes_de(Mundo &m, const CampoMundo &c)
{
    return (unsigned char *)(void *)&m + c.desde;
}

unsigned suma_mundo(int version)
{
    unsigned c = 0;
    for (int i = 0; i < CAMPOS_MUNDO; i++)
        if (campos_mundo[i].suma > 0 && campos_mundo[i].suma <= version)
            c = crc32_bytes(c, bytes_de(mundo, campos_mundo[i]), campos_mundo[i].bytes);
    if (enemi)
        c = crc32_bytes(c, enemi, ENE_BYTES);
    return c;
}

// The fields set again at the given moment and later ones (a run's start sets the level's too).
static void pon_inicio(int desde)
{
    static Mundo inicio;   // every field at its start value; never changed
    for (int i = 0; i < CAMPOS_MUNDO; i++)
        if (campos_mundo[i].otra_vez >= desde)
            memcpy(bytes_de(mundo, campos_mundo[i]), bytes_de(inicio, campos_mundo[i]), campos_mundo[i].bytes);
}

void mundo_empieza_partida()
{
    pon_inicio(MUNDO_PARTIDA);
}

void mundo_empieza_nivel()
{
    pon_inicio(MUNDO_NIVEL);
}
