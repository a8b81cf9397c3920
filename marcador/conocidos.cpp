// conocidos: the campaign from the shipped levels, the other sets from the database.
#include "marcador/conocidos.h"

#include <cctype>
#include <cstdio>

#include "game/comparte.h"
#include "shared/busca.h"
#include "shared/conjuntos.h"
#include "shared/idioma.h"

static SetConocido campana;   // the shipped campaign, read at start

// The key of a set from its levels' CRCs.
static std::string clave_de(const std::vector<unsigned> &crcs)
{
    std::string k;
    for (unsigned c : crcs) {
        char h[16];
        snprintf(h, sizeof h, "%s%08x", k.empty() ? "" : "-", c);
        k += h;
    }
    return k;
}

std::string conocidos_clave(const Repeticion &r)
{
    std::vector<unsigned> crcs;
    for (int i = 0; i < r.niveles; i++)
        crcs.push_back(r.nivel[i].crc);
    return clave_de(crcs);
}

// A set from a checked pack.
static void de_paquete(const Paquete &p, const Octetos &bytes, SetConocido *s)
{
    std::vector<unsigned> crcs;
    s->niveles.clear();
    for (int i = 0; i < p.niveles; i++) {
        s->niveles.push_back(p.nivel[i]);
        crcs.push_back(crc32_bytes(0, p.nivel[i].data(), p.nivel[i].size()));
    }
    s->clave = clave_de(crcs);
    s->nombre = p.descripcion.nombre;
    s->slug = conocidos_slug(s->nombre);
    s->paquete = bytes;
}

bool conocidos_arranca()
{
    busca_conjuntos();
    pon_conjunto(0);
    buscaarch();
    Octetos bytes;
    Paquete p;
    char error[RUTA_MAX + 200];
    if (!arma_paquete(0, &bytes, error, sizeof error) ||
        !revisa_paquete(bytes.data(), bytes.size(), &p, error, sizeof error)) {
        fprintf(stderr, _("korvex-marcador: no hay campana que verificar: %s\n"), error);
        return false;
    }
    de_paquete(p, bytes, &campana);
    campana.slug = CAMPANA_SLUG;
    return true;
}

std::string conocidos_slug(const std::string &nombre)
{
    return nombre_en_linea(nombre.c_str());
}

// A kept set with its levels read back from its pack.
static bool de_guardado(const ConjuntoGuardado &g, SetConocido *s)
{
    static Paquete p;   // large: not on the stack
    char motivo[200];
    if (!revisa_paquete(g.paquete.data(), g.paquete.size(), &p, motivo, sizeof motivo))
        return false;
    de_paquete(p, g.paquete, s);
    s->slug = g.slug;
    return true;
}

bool conocido_por_clave(const std::string &clave, SetConocido *s)
{
    if (clave == campana.clave) {
        *s = campana;
        return true;
    }
    ConjuntoGuardado g;
    return base_conjunto(clave, &g) && de_guardado(g, s);
}

bool conocido_por_slug(const std::string &slug, SetConocido *s)
{
    if (slug == CAMPANA_SLUG) {
        *s = campana;
        return true;
    }
    ConjuntoGuardado g;
    return base_conjunto_slug(slug, &g) && de_guardado(g, s);
}

bool conocidos_toma_paquete(const Octetos &paquete, const Repeticion &r, SetConocido *s, char *motivo, int tam)
{
    static Paquete p;
    char razon[200];
    if (!revisa_paquete(paquete.data(), paquete.size(), &p, razon, sizeof razon)) {
        snprintf(motivo, tam, "paquete: %s", razon);
        return false;
    }
    de_paquete(p, paquete, s);
    if (s->clave != conocidos_clave(r)) {
        snprintf(motivo, tam, "el paquete no tiene los niveles de la partida");
        return false;
    }
    if (s->clave == campana.clave) {
        *s = campana;
        return true;
    }
    ConjuntoGuardado g;
    g.clave = s->clave;
    g.slug = s->slug;
    g.nombre = s->nombre;
    g.paquete = paquete;
    if (!base_guarda_conjunto(&g)) {
        snprintf(motivo, tam, "no se pudo guardar el conjunto");
        return false;
    }
    s->slug = g.slug;
    return true;
}

std::vector<std::string> conocidos_slugs()
{
    std::vector<std::string> v{CAMPANA_SLUG};
    for (const std::string &s : base_slugs())
        v.push_back(s);
    return v;
}
