// ranking: the high-score file's format and the tables the game ships with, which the game
// falls back on and the asset maker writes as the first datos/ranking.dat.
#ifndef KORV_RANKING_H
#define KORV_RANKING_H

#include <cstring>

// The ranking file: three tables of ten 8-byte records (score LE32, three initials, one reserved byte).
#define RANKING_ARCHIVO "datos/ranking.dat"
enum {
    RANKING_TABLAS = 3,        // one table per difficulty
    RANKING_LUGARES = 10,      // places per table
    RANKING_REG = 8,           // bytes per record
    RANKING_INI = 4,           // offset of the initials in a record
    RANKING_RESERVA = 7,       // offset of the reserved byte
    RANKING_BYTES = RANKING_TABLAS * RANKING_LUGARES * RANKING_REG,   // 240 bytes of the file
    RANKING_NINGUNO = 12,      // place argument meaning "mark no place"
    BONO_VIDA = 3000           // final-score bonus per life left, points
};

// The scores and initials the game ships with, table by table, place 1 first.
struct RankingFabrica {
    unsigned int puntos;
    char ini[4];
};
static const RankingFabrica ranking_fabrica[RANKING_TABLAS][RANKING_LUGARES] = {
    {{52400, "KRV"}, {46850, "LUR"}, {41200, "ANA"}, {36750, "PEP"}, {31300, "GUS"},
     {26450, "MAX"}, {21800, "SOL"}, {17250, "TOM"}, {12600, "EVA"}, {8050, "BOB"}},
    {{61550, "LUR"}, {54900, "KRV"}, {47300, "RIK"}, {40650, "NAT"}, {34200, "JOE"},
     {28750, "DAN"}, {23400, "ZOE"}, {18150, "LEO"}, {13700, "IVY"}, {9250, "ROY"}},
    {{70800, "KRV"}, {62350, "LUR"}, {53900, "ACE"}, {45450, "VIC"}, {38000, "MIA"},
     {31550, "RAY"}, {25100, "UMA"}, {19650, "NED"}, {14200, "OLI"}, {10050, "JAN"}}};

// Fills a 240-byte ranking image with the shipped tables (reserved bytes 0).
static inline void ranking_por_defecto(unsigned char buf[RANKING_BYTES])
{
    memset(buf, 0, RANKING_BYTES);
    for (int t = 0; t < RANKING_TABLAS; t++)
        for (int i = 0; i < RANKING_LUGARES; i++) {
            unsigned char *r = buf + (t * RANKING_LUGARES + i) * RANKING_REG;
            unsigned int v = ranking_fabrica[t][i].puntos;
            r[0] = (unsigned char)v;
            r[1] = (unsigned char)(v >> 8);
            r[2] = (unsigned char)(v >> 16);
            r[3] = (unsigned char)(v >> 24);
            memcpy(r + RANKING_INI, ranking_fabrica[t][i].ini, 3);
        }
}

#endif
