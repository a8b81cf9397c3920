// comparte: the export of a level set to one zip file and the checked install of such a file.
#include "game/comparte.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include "shared/guardado.h"
#include "shared/lectura.h"
#include "game/verifica.h"
#include "shared/idioma.h"

// Unix file types in a zip entry's external attributes (their top 16 bits).
enum { ATRIB_DESPLAZA = 16, TIPO_MASCARA = 0170000, TIPO_REGULAR = 0100000, MODO_ARCHIVO = 0644 };
static const mode_t MODO_CARPETA = 0777;   // the umask narrows it
enum { INSTALA_INTENTOS = 8 };             // folder names tried when another appears meanwhile

// Records a reason in motivo; always false.
static bool motivo_de(char *motivo, int tam, const char *fmt, const char *que, long a = 0, long b = 0)
{
    char texto[256];
    snprintf(texto, sizeof texto, fmt, a, b);
    if (que)
        snprintf(motivo, tam, "%s: %s", que, texto);
    else
        snprintf(motivo, tam, "%s", texto);
    return false;
}

// True when s ends with fin.
static bool termina_en(const std::string &s, const char *fin)
{
    size_t n = strlen(fin);
    return s.size() > n && s.compare(s.size() - n, n, fin) == 0;
}

// What an entry's name may be: a plain file name of printable ASCII, not hidden, not a folder.
static const char *nombre_malo(const std::string &n)
{
    if (n.find('/') != std::string::npos || n.find('\\') != std::string::npos)
        return _("el nombre lleva una carpeta");
    if (n.empty() || n[0] == '.')
        return _("nombre de archivo no valido");
    for (unsigned char ch : n)
        if (ch < ' ' || ch >= 127)
            return _("nombre de archivo no valido");
    return NULL;
}

// One entry of the zip: its name and declared size, after the checks that need no inflating.
struct Entrada {
    zip_uint64_t indice;
    std::string nombre;
    zip_uint64_t tamano;
};

// One entry's name and kind: a plain file name not seen before, a plain file (no link, no folder),
// not encrypted, stored or deflated. Its name and declared size into *e.
static bool revisa_entrada(zip_t *z, zip_uint64_t i, std::vector<std::string> &vistos, Entrada *e, char *motivo,
                           int tam)
{
    zip_stat_t st;
    const char *crudo = zip_get_name(z, i, ZIP_FL_ENC_RAW);
    if (!crudo || zip_stat_index(z, i, ZIP_FL_ENC_RAW, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return motivo_de(motivo, tam, _("la entrada %ld no se puede leer"), NULL, (long)i + 1);
    *e = {i, crudo, st.size};
    const char *nombre = crudo, *malo = nombre_malo(e->nombre);
    if (malo)
        return motivo_de(motivo, tam, malo, nombre);
    if (std::find(vistos.begin(), vistos.end(), e->nombre) != vistos.end())
        return motivo_de(motivo, tam, _("esta dos veces"), nombre);
    vistos.push_back(e->nombre);
    zip_uint8_t sistema;
    zip_uint32_t atributos;
    if (zip_file_get_external_attributes(z, i, 0, &sistema, &atributos) == 0 && sistema == ZIP_OPSYS_UNIX) {
        zip_uint32_t tipo = (atributos >> ATRIB_DESPLAZA) & TIPO_MASCARA;
        if (tipo != 0 && tipo != TIPO_REGULAR)
            return motivo_de(motivo, tam, _("es un enlace o una carpeta, no un archivo"), nombre);
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return motivo_de(motivo, tam, _("esta cifrado"), nombre);
    if ((st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE)
        return motivo_de(motivo, tam, _("comprimido de una forma desconocida (%ld)"), nombre, (long)st.comp_method);
    return true;
}

// The declared sizes: their sum first, then each, so that nothing is inflated past what fifteen
// levels and a description hold.
static bool revisa_tamanos(const std::vector<Entrada> &mapas, const Entrada &descripcion, zip_uint64_t suma,
                           char *motivo, int tam)
{
    if (suma > PAQUETE_SUMA_MAX)
        return motivo_de(motivo, tam, _("descomprimido ocuparia mas de %ld bytes"), NULL, (long)PAQUETE_SUMA_MAX);
    if (descripcion.tamano > CONJ_DESCRIPCION_BYTES)
        return motivo_de(motivo, tam, _("declara %ld bytes; a lo sumo %ld"), DESCRIPCION_ARCHIVO, (long)descripcion.tamano,
                         CONJ_DESCRIPCION_BYTES);
    for (const Entrada &e : mapas)
        if (e.tamano != NIVEL_BYTES)
            return motivo_de(motivo, tam, _("declara %ld bytes; un nivel tiene %ld"), e.nombre.c_str(), (long)e.tamano,
                             NIVEL_BYTES);
    return true;
}

// The entries: each a plain level file or the description (one of each name: at most fifteen
// levels beside it), their sizes; nothing inflated. The levels sorted by name.
static bool revisa_entradas(zip_t *z, std::vector<Entrada> &mapas, Entrada &descripcion, char *motivo, int tam)
{
    zip_int64_t n = zip_get_num_entries(z, 0);
    if (n <= 0)
        return motivo_de(motivo, tam, _("el paquete esta vacio"), NULL);
    if (n > PAQUETE_ENTRADAS_MAX)
        return motivo_de(motivo, tam, _("tiene %ld archivos; un paquete lleva a lo sumo %ld niveles y su conjunto.txt"),
                         NULL, (long)n, MAX_NIVELES);
    bool hay_descripcion = false;
    zip_uint64_t suma = 0;
    std::vector<std::string> vistos;
    for (zip_uint64_t i = 0; i < (zip_uint64_t)n; i++) {
        Entrada e;
        if (!revisa_entrada(z, i, vistos, &e, motivo, tam))
            return false;
        suma += e.tamano > PAQUETE_SUMA_MAX ? (zip_uint64_t)PAQUETE_SUMA_MAX + 1 : e.tamano;
        if (e.nombre == DESCRIPCION_ARCHIVO)
            descripcion = e, hay_descripcion = true;
        else if (termina_en(e.nombre, ".map") && e.nombre.size() <= PAQUETE_NOMBRE_MAX)
            mapas.push_back(e);
        else
            return motivo_de(motivo, tam, _("no es un nivel (*.map) ni conjunto.txt"), e.nombre.c_str());
    }
    if (!revisa_tamanos(mapas, descripcion, suma, motivo, tam))
        return false;
    if (!hay_descripcion)
        return motivo_de(motivo, tam, _("falta conjunto.txt"), NULL);
    if (mapas.empty())
        return motivo_de(motivo, tam, _("no trae ningun nivel"), NULL);
    std::sort(mapas.begin(), mapas.end(), [](const Entrada &a, const Entrada &b) { return a.nombre < b.nombre; });
    return true;
}

// Inflates one entry into bytes: exactly its declared size (the zip's CRC checked by the library).
static bool infla(zip_t *z, const Entrada &e, std::vector<unsigned char> &out, char *motivo, int tam)
{
    zip_file_t *f = zip_fopen_index(z, e.indice, 0);
    if (!f)
        return motivo_de(motivo, tam, _("no se puede descomprimir (%ld)"), e.nombre.c_str(), (long)zip_error_code_zip(zip_get_error(z)));
    out.assign(e.tamano + 1, 0);
    zip_int64_t hecho = 0, r = 0;
    while (hecho < (zip_int64_t)out.size() && (r = zip_fread(f, out.data() + hecho, out.size() - hecho)) > 0)
        hecho += r;
    zip_fclose(f);
    if (r < 0)
        return motivo_de(motivo, tam, _("dañado al descomprimir"), e.nombre.c_str());
    if (hecho != (zip_int64_t)e.tamano)
        return motivo_de(motivo, tam, _("%ld bytes al descomprimir; declara %ld"), e.nombre.c_str(), (long)hecho,
                         (long)e.tamano);
    out.resize(e.tamano);
    return true;
}

// The inflated files: each level sound for the reader, the description with a name.
static bool revisa_contenido(zip_t *z, const std::vector<Entrada> &mapas, const Entrada &descripcion, Paquete *p,
                             char *motivo, int tam)
{
    std::vector<unsigned char> texto;
    if (!infla(z, descripcion, texto, motivo, tam))
        return false;
    if (!descifra_descripcion((const char *)texto.data(), texto.size(), DESCRIPCION_ARCHIVO, &p->descripcion))
        return motivo_de(motivo, tam, _("no tiene nombre (una linea \"nombre = ...\")"), DESCRIPCION_ARCHIVO);
    p->niveles = 0;
    for (const Entrada &e : mapas) {
        std::vector<unsigned char> &v = p->nivel[p->niveles];
        if (!infla(z, e, v, motivo, tam))
            return false;
        std::vector<std::string> lineas;
        if (verifica_estructura(e.nombre.c_str(), v.data(), v.size(), lineas) > 0)
            return snprintf(motivo, tam, "%s", lineas.empty() ? e.nombre.c_str() : lineas[0].c_str()), false;
        snprintf(p->nombre[p->niveles], sizeof p->nombre[0], "%s", e.nombre.c_str());
        p->niveles++;
    }
    return true;
}

bool revisa_paquete(const unsigned char *d, size_t n, Paquete *p, char *motivo, int tam)
{
    if (n > PAQUETE_BYTES_MAX)
        return motivo_de(motivo, tam, _("demasiado grande para un paquete de niveles (%ld bytes)"), NULL, (long)n);
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t *fuente = zip_source_buffer_create(n ? (const void *)d : "", n, 0, &err);
    zip_t *z = fuente ? zip_open_from_source(fuente, ZIP_RDONLY | ZIP_CHECKCONS, &err) : NULL;
    if (!z) {
        int codigo = zip_error_code_zip(&err);
        if (codigo == ZIP_ER_NOZIP)
            snprintf(motivo, tam, _("no es un paquete de niveles (no es un archivo zip)"));
        else
            snprintf(motivo, tam, _("no es un paquete de niveles (zip dañado: error %d de libzip)"), codigo);
        zip_error_fini(&err);
        if (fuente)
            zip_source_free(fuente);
        return false;
    }
    zip_error_fini(&err);
    std::vector<Entrada> mapas;
    Entrada descripcion = {0, "", 0};
    bool ok = revisa_entradas(z, mapas, descripcion, motivo, tam) &&
              revisa_contenido(z, mapas, descripcion, p, motivo, tam);
    zip_discard(z);   // frees the source too
    return ok;
}

bool lee_paquete(const char *ruta, Paquete *p, char *error, int tam)
{
    char motivo[MOTIVO_MAX + 200];
    FILE *f = abre_regular(ruta, motivo, MOTIVO_MAX);
    if (!f)
        return snprintf(error, tam, "%s: %s", ruta, motivo), false;
    std::vector<unsigned char> v(PAQUETE_BYTES_MAX + 1);
    size_t n = fread(v.data(), 1, v.size(), f);
    bool malo = ferror(f) != 0;
    fclose(f);
    if (malo)
        return snprintf(error, tam, _("%s: no se pudo leer"), ruta), false;
    if (revisa_paquete(v.data(), n, p, motivo, sizeof motivo))
        return true;
    snprintf(error, tam, "%s: %s", ruta, motivo);
    return false;
}

// --- export ---

// Adds bytes to the zip under nombre, a plain file (mode 0644) of the given time.
static bool agrega(zip_t *z, const char *nombre, const void *datos, size_t n, time_t cuando)
{
    void *copia = malloc(n ? n : 1);
    if (!copia)
        return false;
    memcpy(copia, datos, n);
    zip_source_t *s = zip_source_buffer(z, copia, n, 1);
    if (!s) {
        free(copia);
        return false;
    }
    zip_int64_t i = zip_file_add(z, nombre, s, ZIP_FL_ENC_UTF_8);
    if (i < 0) {
        zip_source_free(s);
        return false;
    }
    zip_file_set_external_attributes(z, (zip_uint64_t)i, 0, ZIP_OPSYS_UNIX,
                                     (zip_uint32_t)(TIPO_REGULAR | MODO_ARCHIVO) << ATRIB_DESPLAZA);
    zip_file_set_mtime(z, (zip_uint64_t)i, cuando, 0);
    return true;
}

// The zip held in a buffer source, once closed, as bytes.
static bool bytes_de_fuente(zip_source_t *fuente, std::vector<unsigned char> *bytes)
{
    if (zip_source_open(fuente) != 0)
        return false;
    bool ok = zip_source_seek(fuente, 0, SEEK_END) == 0;
    zip_int64_t n = ok ? zip_source_tell(fuente) : -1;
    ok = n >= 0 && zip_source_seek(fuente, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->assign((size_t)n, 0);
        ok = n == 0 || zip_source_read(fuente, bytes->data(), (zip_uint64_t)n) == n;
    }
    zip_source_close(fuente);
    return ok;
}

// The modification time of a file (now when it cannot be had).
static time_t hora_de(const char *ruta)
{
    struct stat st;
    return stat(ruta, &st) == 0 ? st.st_mtime : time(NULL);
}

// Reads one level of the catalogue whole into v: exactly a level's size and sound.
static bool lee_nivel_entero(int i, std::vector<unsigned char> &v, char *ruta, int tam_ruta, char *error, int tam)
{
    ruta_nivel(i, ruta, tam_ruta);
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(ruta, motivo, sizeof motivo);
    if (!f)
        return snprintf(error, tam, "%s: %s", ruta, motivo), false;
    v.assign(NIVEL_BYTES + 1, 0);
    size_t n = fread(v.data(), 1, v.size(), f);
    fclose(f);
    v.resize(n);
    std::vector<std::string> lineas;
    if (verifica_estructura(ruta, v.data(), v.size(), lineas) > 0)
        return snprintf(error, tam, _("%s; no se exporta"), lineas.empty() ? ruta : lineas[0].c_str()), false;
    return true;
}

bool arma_paquete(int conjunto_i, std::vector<unsigned char> *bytes, char *error, int tam)
{
    int antes = conjunto_actual;
    pon_conjunto(conjunto_i);
    buscaarch();
    const Conjunto c = conjunto();
    bool ok = niveles > 0;
    if (!ok)
        snprintf(error, tam, _("el conjunto %s no tiene niveles"), c.nombre);
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t *fuente = ok ? zip_source_buffer_create(NULL, 0, 0, &err) : NULL;
    zip_t *z = NULL;
    if (fuente) {
        zip_source_keep(fuente);   // the bytes outlive the archive
        z = zip_open_from_source(fuente, ZIP_TRUNCATE, &err);
        if (!z)
            zip_source_free(fuente);   // not taken by the archive: the reference it would have dropped
    }
    ok = ok && z;
    std::string texto = texto_descripcion(c);
    std::string ruta_desc = std::string(c.carpeta) + "/" + DESCRIPCION_ARCHIVO;
    ok = ok && agrega(z, DESCRIPCION_ARCHIVO, texto.data(), texto.size(), hora_de(ruta_desc.c_str()));
    for (int i = 0; ok && i < niveles; i++) {
        std::vector<unsigned char> v;
        char ruta[RUTA_MAX];
        ok = lee_nivel_entero(i, v, ruta, sizeof ruta, error, tam);
        if (ok && !agrega(z, archive[i], v.data(), v.size(), hora_de(ruta)))
            ok = !snprintf(error, tam, _("%s: no se pudo agregar al paquete"), archive[i]);
    }
    if (z && (!ok || zip_close(z) != 0)) {
        if (ok)
            snprintf(error, tam, _("no se pudo armar el paquete (%s)"), zip_strerror(z));
        zip_discard(z);
        ok = false;
    }
    if (ok && !bytes_de_fuente(fuente, bytes))
        ok = !snprintf(error, tam, _("no se pudo armar el paquete"));
    if (fuente)
        zip_source_free(fuente);
    zip_error_fini(&err);
    pon_conjunto(antes);
    buscaarch();
    return ok;
}

bool exporta_conjunto(int conjunto_i, const char *ruta, char *error, int tam)
{
    std::vector<unsigned char> bytes;
    char motivo[RUTA_MAX];
    if (!arma_paquete(conjunto_i, &bytes, motivo, sizeof motivo))
        return snprintf(error, tam, "%s: %s", ruta, motivo), false;
    if (!escribe_atomico(ruta, bytes.data(), bytes.size()))
        return snprintf(error, tam, _("%s: no se pudo escribir el paquete"), ruta), false;
    return true;
}

// --- install ---

// Removes a folder this install made and every plain file in it.
static void quita_carpeta(const std::string &dir, const Paquete &p)
{
    unlink((dir + "/" + DESCRIPCION_ARCHIVO).c_str());
    for (int i = 0; i < p.niveles; i++)
        unlink((dir + "/" + p.nombre[i]).c_str());
    limpia_temporales(dir.c_str());
    rmdir(dir.c_str());
}

// Writes the pack's files into folder dir (made here).
static bool escribe_paquete(const std::string &dir, const Paquete &p, const Conjunto &c)
{
    std::string texto = texto_descripcion(c);
    bool ok = escribe_atomico((dir + "/" + DESCRIPCION_ARCHIVO).c_str(), texto.data(), texto.size());
    for (int i = 0; ok && i < p.niveles; i++)
        ok = escribe_atomico((dir + "/" + p.nombre[i]).c_str(), p.nivel[i].data(), p.nivel[i].size());
    return ok;
}

bool instala_paquete(const Paquete &p, int *indice, char *motivo, int tam)
{
    busca_conjuntos();
    char base[RUTA_MAX];
    if (!carpeta_conjuntos(base, sizeof base, true))
        return motivo_de(motivo, tam, _("no hay carpeta donde instalar conjuntos"), NULL);
    Conjunto c = p.descripcion;
    nombre_libre(p.descripcion.nombre, c.nombre, sizeof c.nombre);
    std::string tmp = std::string(base) + "/" PREFIJO_TEMPORAL "XXXXXX";
    if (!mkdtemp(&tmp[0])) {
        snprintf(motivo, tam, _("no se pudo crear una carpeta temporal en %s (%s)"), base, strerror(errno));
        return false;
    }
    if (!escribe_paquete(tmp, p, c)) {
        quita_carpeta(tmp, p);
        return motivo_de(motivo, tam, _("no se pudieron escribir los niveles"), NULL);
    }
    // The folder appears whole, never over one that exists (another may appear meanwhile).
    for (int intento = 0; intento < INSTALA_INTENTOS; intento++) {
        char carpeta[CONJ_CARPETA_MAX + 1];
        if (!carpeta_libre(base, c.nombre, carpeta, sizeof carpeta))
            break;
        std::string destino = std::string(base) + "/" + carpeta;
        if (renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, destino.c_str(), RENAME_NOREPLACE) == 0) {
            mode_t mascara = umask(0);
            umask(mascara);
            chmod(destino.c_str(), MODO_CARPETA & ~mascara);
            asienta_carpeta(destino.c_str());
            busca_conjuntos();
            *indice = busca_conjunto(destino.c_str());
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    int e = errno;
    quita_carpeta(tmp, p);
    snprintf(motivo, tam, _("no se pudo poner el conjunto en %s (%s)"), base, strerror(e));
    return false;
}

int instala_archivo(const char *ruta, int *indice, char *linea, int tam)
{
    static Paquete p;
    char motivo[RUTA_MAX + 200];
    *indice = -1;
    if (!lee_paquete(ruta, &p, linea, tam))
        return SALIDA_RECHAZO;
    if (!instala_paquete(p, indice, motivo, sizeof motivo)) {
        snprintf(linea, tam, "%s: %s", ruta, motivo);
        return SALIDA_RECHAZO;
    }
    const Conjunto &c = conjuntos[*indice];
    snprintf(linea, tam, _("KORVEX: instalado el conjunto \"%s\" (%d niveles) en %s"), c.nombre, p.niveles, c.carpeta);
    return SALIDA_HECHO;
}

int exporta_programa(const char *conjunto_texto, const char *ruta)
{
    busca_conjuntos();
    int i = busca_conjunto(conjunto_texto);
    struct stat st;
    // A folder of levels outside the list is a set too, for the time of the export.
    if (i < 0 && stat(conjunto_texto, &st) == 0 && S_ISDIR(st.st_mode) && n_conjuntos < CONJUNTOS_MAX &&
        lee_conjunto_carpeta(conjunto_texto, &conjuntos[n_conjuntos]))
        i = n_conjuntos++;
    if (i < 0) {
        fprintf(stderr, _("KORV-EDITOR: -exporta: no hay un conjunto \"%s\"\n"), conjunto_texto);
        return SALIDA_RECHAZO;
    }
    char error[RUTA_MAX + 300];
    if (!exporta_conjunto(i, ruta, error, sizeof error)) {
        fprintf(stderr, "%s\n", error);
        return SALIDA_RECHAZO;
    }
    pon_conjunto(i);
    buscaarch();
    printf(_("KORV-EDITOR: exportado el conjunto \"%s\" (%d niveles) a %s\n"), conjunto().nombre, niveles, ruta);
    return SALIDA_HECHO;
}
