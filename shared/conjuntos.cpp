// conjuntos: the list of level sets, their descriptions, folders and where each keeps its files.
#include "shared/conjuntos.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "shared/ajustes.h"
#include "shared/carga.h"
#include "shared/guardado.h"
#include "shared/lectura.h"
#include "shared/idioma.h"

// The campaign first; its line of what it is is shown translated.
Conjunto conjuntos[CONJUNTOS_MAX] = {
    {CAMPANA_NOMBRE, CAMPANA_AUTOR, N_("DEL PUEBLO A LA CIUDAD"), "levels", 1}};
int n_conjuntos = 1;
int conjunto_actual;

static const char CAMPANA_CARPETA[] = "levels";
static const mode_t MODO_CARPETA = 0777;   // the umask narrows it
enum { SUFIJO_MAX = 99 };                  // "_2" .. "_99", "NAME 2" .. "NAME 99"

// True when path names a folder (a link to one counts).
static bool es_carpeta(const std::string &ruta)
{
    struct stat st;
    return stat(ruta.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The last part of a path.
static const char *nombre_final(const char *ruta)
{
    const char *barra = strrchr(ruta, '/');
    return barra ? barra + 1 : ruta;
}

// Copies s into a buffer of tam bytes; false (out "") when it does not fit.
static bool copia(char *out, int tam, const std::string &s)
{
    if ((int)s.size() >= tam) {
        if (tam > 0)
            out[0] = 0;
        return false;
    }
    memcpy(out, s.c_str(), s.size() + 1);
    return true;
}

bool carpeta_conjuntos(char *out, int tam, bool crea)
{
    std::string base;
    if (!instalado)
        base = CONJUNTOS_CARPETA;
    else if (carpeta_usuario[0] && (!crea || asegura_carpeta_usuario()))
        base = std::string(carpeta_usuario) + "/" + CONJUNTOS_CARPETA;
    if (base.empty() || !copia(out, tam, base))
        return false;
    if (crea && mkdir(out, MODO_CARPETA) != 0 && !(errno == EEXIST && es_carpeta(out))) {
        fprintf(stderr, _("%s: no se pudo crear la carpeta de los conjuntos (%s)\n"), out, strerror(errno));
        return false;
    }
    return true;
}

const Conjunto &conjunto()
{
    return conjuntos[conjunto_actual >= 0 && conjunto_actual < n_conjuntos ? conjunto_actual : 0];
}

void pon_conjunto(int i)
{
    conjunto_actual = i >= 0 && i < n_conjuntos ? i : 0;
}

// The Spanish letters of two UTF-8 bytes (0xC3 then the second) as their plain upper-case letter.
static char letra_simple(unsigned char segundo)
{
    static const char *const de = "\xA1\xA9\xAD\xB3\xBA\xBC\xB1\x81\x89\x8D\x93\x9A\x9C\x91";
    static const char a[] = "AEIOUUNAEIOUUN";
    const char *p = strchr(de, segundo);
    return p && segundo ? a[p - de] : '?';
}

bool texto_pantalla(const char *texto, char *out, int max)
{
    int n = 0;
    for (const unsigned char *p = (const unsigned char *)texto; *p; p++) {
        char ch;
        if (*p < ' ' || *p == 127)
            return false;
        if (*p < 128) {
            ch = (char)(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p);
        } else {
            // One character of UTF-8: its lead byte, then its continuation bytes.
            ch = *p == 0xC3 && p[1] ? letra_simple(p[1]) : '?';
            while ((p[1] & 0xC0) == 0x80)
                p++;
        }
        if (n >= max)
            return false;
        out[n++] = ch;
    }
    out[n] = 0;
    return true;
}

// Takes one pair of a description file.
static bool aplica_descripcion(const char *clave, const char *valor, void *dato)
{
    Conjunto *c = (Conjunto *)dato;
    char texto[CONJ_DESCRIPCION_MAX + 1];
    if (strcmp(clave, "nombre") == 0 && valor[0])
        return texto_pantalla(valor, texto, CONJ_NOMBRE_MAX) && copia(c->nombre, sizeof c->nombre, texto);
    if (strcmp(clave, "autor") == 0)
        return texto_pantalla(valor, texto, CONJ_AUTOR_MAX) && copia(c->autor, sizeof c->autor, texto);
    if (strcmp(clave, "descripcion") == 0)
        return texto_pantalla(valor, texto, CONJ_DESCRIPCION_MAX) &&
               copia(c->descripcion, sizeof c->descripcion, texto);
    return false;
}

bool descifra_descripcion(const char *texto, size_t n, const char *nombre, Conjunto *c)
{
    c->nombre[0] = c->autor[0] = c->descripcion[0] = 0;
    lee_claves_texto(texto, n, nombre, "conjunto", aplica_descripcion, c);
    return c->nombre[0] != 0;
}

std::string texto_descripcion(const Conjunto &c)
{
    return std::string("# KORVEX: conjunto de niveles (clave = valor)\n") + "nombre = " + c.nombre + "\nautor = " +
           c.autor + "\ndescripcion = " + c.descripcion + "\n";
}

bool lee_conjunto_carpeta(const char *dir, Conjunto *c)
{
    if (!copia(c->carpeta, sizeof c->carpeta, dir))
        return false;
    c->campana = 0;
    std::string ruta = std::string(dir) + "/" + DESCRIPCION_ARCHIVO;
    char motivo[MOTIVO_MAX];
    std::vector<char> texto(CONJ_DESCRIPCION_BYTES);
    size_t n = 0;
    FILE *f = abre_regular(ruta.c_str(), motivo, sizeof motivo);
    if (f) {
        n = fread(texto.data(), 1, texto.size(), f);
        fclose(f);
    }
    if (f && descifra_descripcion(texto.data(), n, ruta.c_str(), c))
        return true;
    fprintf(stderr, _("%s: %s; el conjunto se llama como su carpeta\n"), ruta.c_str(),
            f ? _("no tiene nombre") : motivo);
    std::string nombre = nombre_final(dir);
    std::replace(nombre.begin(), nombre.end(), '_', ' ');
    if (!texto_pantalla(nombre.c_str(), c->nombre, CONJ_NOMBRE_MAX) || !c->nombre[0])
        copia(c->nombre, sizeof c->nombre, "SIN NOMBRE");
    return true;
}

void busca_conjuntos()
{
    std::string antes = conjunto().carpeta;
    n_conjuntos = 1;
    conjunto_actual = 0;
    char base[RUTA_MAX];
    DIR *d = carpeta_conjuntos(base, sizeof base, false) ? opendir(base) : NULL;
    if (!d)
        return;
    std::vector<std::string> nombres;
    while (struct dirent *e = readdir(d))
        if (e->d_name[0] != '.' && strlen(e->d_name) <= CONJ_CARPETA_MAX &&
            es_carpeta(std::string(base) + "/" + e->d_name))
            nombres.push_back(e->d_name);
    closedir(d);
    std::sort(nombres.begin(), nombres.end());
    if ((int)nombres.size() > CONJUNTOS_MAX - 1)
        fprintf(stderr, _("%s: hay %zu conjuntos; se ven los primeros %d\n"), base, nombres.size(), CONJUNTOS_MAX - 1);
    for (const std::string &s : nombres) {
        if (n_conjuntos == CONJUNTOS_MAX)
            break;
        Conjunto &c = conjuntos[n_conjuntos];
        std::string dir = std::string(base) + "/" + s;
        if (!lee_conjunto_carpeta(dir.c_str(), &c))
            continue;
        if (antes == c.carpeta)
            conjunto_actual = n_conjuntos;
        n_conjuntos++;
    }
}

// The absolute, resolved form of a folder ("" when it does not exist).
static std::string real(const std::string &ruta)
{
    char r[PATH_MAX];
    return realpath(ruta.c_str(), r) ? std::string(r) : std::string();
}

int busca_conjunto(const char *texto)
{
    char forma[CONJ_NOMBRE_MAX + 1];
    bool nombre = texto_pantalla(texto, forma, CONJ_NOMBRE_MAX);
    for (int i = 0; i < n_conjuntos; i++)
        if (nombre && strcmp(conjuntos[i].nombre, forma) == 0)
            return i;
    for (int i = 1; i < n_conjuntos; i++)
        if (strcmp(nombre_final(conjuntos[i].carpeta), texto) == 0)
            return i;
    // A path: the same folder as a set's.
    std::string r = strchr(texto, '/') ? real(texto) : std::string();
    for (int i = 0; i < n_conjuntos && !r.empty(); i++)
        if (real(conjuntos[i].carpeta) == r)
            return i;
    return -1;
}

// The folder name of a shown name, before any "_2": lowercase letters and digits, one '_' for
// each run of anything else, room left for the suffix.
static std::string raiz_carpeta(const char *nombre)
{
    std::string raiz;
    for (const char *p = nombre; *p && raiz.size() < CONJ_CARPETA_MAX - 3; p++) {
        char ch = *p >= 'A' && *p <= 'Z' ? (char)(*p - 'A' + 'a') : *p;
        bool vale = (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
        if (vale)
            raiz += ch;
        else if (!raiz.empty() && raiz.back() != '_')
            raiz += '_';
    }
    while (!raiz.empty() && raiz.back() == '_')
        raiz.pop_back();
    return raiz.empty() ? std::string("conjunto") : raiz;
}

bool carpeta_libre(const char *base, const char *nombre, char *out, int tam)
{
    std::string raiz = raiz_carpeta(nombre);
    for (int n = 1; n <= SUFIJO_MAX; n++) {
        std::string c = n == 1 ? raiz : raiz + "_" + std::to_string(n);
        struct stat st;
        if (lstat((std::string(base) + "/" + c).c_str(), &st) != 0 && errno == ENOENT)
            return copia(out, tam, c);
    }
    return false;
}

// True when a set of the list has that shown name.
static bool nombre_tomado(const char *nombre)
{
    for (int i = 0; i < n_conjuntos; i++)
        if (strcmp(conjuntos[i].nombre, nombre) == 0)
            return true;
    return false;
}

void nombre_libre(const char *nombre, char *out, int tam)
{
    copia(out, tam, nombre);
    for (int n = 2; n <= SUFIJO_MAX && nombre_tomado(out); n++) {
        std::string sufijo = " " + std::to_string(n);
        std::string raiz(nombre, std::min(strlen(nombre), (size_t)CONJ_NOMBRE_MAX - sufijo.size()));
        copia(out, tam, raiz + sufijo);
    }
}

bool crea_conjunto(const char *nombre, const char *autor, const char *descripcion, int *indice)
{
    Conjunto c = {};
    char base[RUTA_MAX], carpeta[CONJ_CARPETA_MAX + 1];
    if (!texto_pantalla(nombre, c.nombre, CONJ_NOMBRE_MAX) || !c.nombre[0] ||
        !texto_pantalla(autor, c.autor, CONJ_AUTOR_MAX) ||
        !texto_pantalla(descripcion, c.descripcion, CONJ_DESCRIPCION_MAX)) {
        fprintf(stderr, _("KORVEX: \"%s\": no sirve como nombre de un conjunto\n"), nombre);
        return false;
    }
    if (!carpeta_conjuntos(base, sizeof base, true))
        return false;
    if (!carpeta_libre(base, c.nombre, carpeta, sizeof carpeta)) {
        fprintf(stderr, _("%s: no queda carpeta libre para \"%s\"\n"), base, c.nombre);
        return false;
    }
    std::string dir = std::string(base) + "/" + carpeta;
    std::string texto = texto_descripcion(c);
    if (mkdir(dir.c_str(), MODO_CARPETA) != 0) {
        fprintf(stderr, _("%s: no se pudo crear la carpeta (%s)\n"), dir.c_str(), strerror(errno));
        return false;
    }
    if (!escribe_atomico((dir + "/" + DESCRIPCION_ARCHIVO).c_str(), texto.data(), texto.size())) {
        rmdir(dir.c_str());
        return false;
    }
    busca_conjuntos();   // the set in play kept by its folder, wherever the new one sorts
    *indice = busca_conjunto(dir.c_str());
    return *indice > 0;
}

int conjunto_propio()
{
    char base[RUTA_MAX];
    if (!carpeta_conjuntos(base, sizeof base, false))
        return 0;
    std::string propio = std::string(base) + "/" + raiz_carpeta(PROPIO_NOMBRE);
    int i = busca_conjunto(propio.c_str());
    if (i > 0)
        return i;
    if (es_carpeta(propio))
        return 0;   // a folder the list could not take: the campaign rather than a second one
    return crea_conjunto(PROPIO_NOMBRE, "", "", &i) ? i : 0;
}

bool ruta_dato(const char *archivo, bool escribe, char *out, int tam)
{
    const Conjunto &c = conjunto();
    if (!c.campana)
        return copia(out, tam, std::string(c.carpeta) + "/" + archivo);
    if (!instalado)
        return copia(out, tam, std::string("datos/") + archivo);
    if (escribe ? !asegura_carpeta_usuario() : !carpeta_usuario[0])
        return false;
    return copia(out, tam, std::string(carpeta_usuario) + "/" + archivo);
}

void carpeta_guardado(char *out, int tam)
{
    if (conjunto().campana)
        carpeta_niveles_usuario(out, tam);
    else
        copia(out, tam, conjunto().carpeta);
}

int conjunto_de_archivo(const char *ruta)
{
    std::string r = ruta;
    size_t barra = r.rfind('/');
    std::string dir = real(barra == std::string::npos ? "." : barra == 0 ? "/" : r.substr(0, barra));
    if (dir.empty())
        return -1;
    char campana[RUTA_MAX];
    carpeta_niveles_usuario(campana, sizeof campana);
    if (dir == real(CAMPANA_CARPETA) || (campana[0] && dir == real(campana)))
        return 0;
    for (int i = 1; i < n_conjuntos; i++)
        if (dir == real(conjuntos[i].carpeta))
            return i;
    return -1;
}

void limpia_conjuntos()
{
    char base[RUTA_MAX];
    if (!carpeta_conjuntos(base, sizeof base, false))
        return;
    limpia_carpetas_temporales(base);
    for (int i = 1; i < n_conjuntos; i++)
        limpia_temporales(conjuntos[i].carpeta);
}

std::string nombre_en_linea(const char *nombre)
{
    std::string s;
    for (const char *p = nombre; *p; p++) {
        unsigned char c = (unsigned char)*p;
        if (c < 128 && isalnum(c))
            s += (char)tolower(c);
        else if (!s.empty() && s.back() != '-')
            s += '-';
    }
    while (!s.empty() && s.back() == '-')
        s.pop_back();
    if (s.empty())
        s = "conjunto";
    if (s == CAMPANA_EN_LINEA)
        s += "-2";   // the campaign's name is its own
    return s;
}
