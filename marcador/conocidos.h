// conocidos: the level sets the server knows: the shipped campaign (its name in URLs is
// CAMPANA_SLUG), always, and every set sent as a pack with a run on it, kept by the CRCs of its
// levels. A recording finds its set by the CRCs of the levels it played.
#ifndef KORV_MARCADOR_CONOCIDOS_H
#define KORV_MARCADOR_CONOCIDOS_H

#include <string>
#include <vector>

#include "marcador/base.h"
#include "shared/conjuntos.h"
#include "shared/repeticion.h"

#define CAMPANA_SLUG CAMPANA_EN_LINEA   // the shipped campaign's name in URLs

// A set known, with its levels' bytes.
struct SetConocido {
    std::string clave;              // CRCs of its levels in play order (conjuntos_clave)
    std::string slug;               // its name in URLs
    std::string nombre;             // its shown name
    std::vector<Octetos> niveles;   // each level file's bytes, in play order
    Octetos paquete;                // its pack (.korvex)
};

// The campaign from the levels the game ships (the data folder entered); false with a stderr line.
bool conocidos_arranca();
// The key of the levels a recording played: their CRCs in play order.
std::string conocidos_clave(const Repeticion &r);
// The set with that key; false when none is known.
bool conocido_por_clave(const std::string &clave, SetConocido *s);
// The set with that name in URLs; false when none is known.
bool conocido_por_slug(const std::string &slug, SetConocido *s);
// A set's name in URLs from its shown name: lower-case letters and digits, '-' between words.
std::string conocidos_slug(const std::string &nombre);
// Takes a pack sent with a run: checked as the game checks one, it must hold the levels the
// recording played; kept (once) and returned in *s. False with the reason (Spanish) in motivo.
bool conocidos_toma_paquete(const Octetos &paquete, const Repeticion &r, SetConocido *s, char *motivo, int tam);
// The slugs of every set known, the campaign first.
std::vector<std::string> conocidos_slugs();

#endif
