// marcador: the online score tables, client side: the pending runs' folder, the exchanges with
// the server (libcurl) and the network thread that does them while the screens go on.
#include "game/marcador.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <curl/curl.h>
#include <nlohmann/json.hpp>

#include "shared/ajustes.h"
#include "shared/carga.h"
#include "shared/idioma.h"
#include "shared/lectura.h"
#include "game/comparte.h"
#include "game/repeticion_juego.h"

enum {
    COLA_MAX = 8,                  // jobs waiting for the thread; a fuller queue drops the oldest
    REP_ENVIO_MAX = 1 << 20,       // largest recording sent, bytes (the server takes far less)
    HTTP_BIEN = 200, HTTP_ACEPTADA = 202,   // an answer; the server took the run
    HTTP_NO_HAY = 404,             // no such table (a set the server has no run of)
    HTTP_ESPERA = 408, HTTP_DEMASIADAS = 429,   // refusals that are not for good: sent again later
    HTTP_CLIENTE = 400, HTTP_SERVIDOR = 500     // first codes of a refusal and of a server error
};

// Kinds of job for the network thread.
enum { TRABAJO_PENDIENTES, TRABAJO_ENVIA, TRABAJO_TABLA };

// One job: its kind, the pending file or the table's set, the difficulty.
struct Trabajo {
    int tipo;
    std::string texto;
    int dif;
};

static std::mutex cerrojo;                 // guards estado and cola
static std::condition_variable despierta;  // a job came, or the end was asked for
static std::deque<Trabajo> cola;           // jobs waiting, oldest first (at most COLA_MAX)
static VistaMarcador estado = {"", -1, TABLA_NINGUNA, 0, {}, ENVIO_NINGUNO, 0, 0, ""};   // what the screens see
static std::atomic<unsigned> cambios(0);   // changes of estado so far
static std::atomic<bool> terminar(false);  // set at the end: exchanges under way are cut short
static std::thread hilo;                   // the network thread, while it runs
static std::once_flag curl_iniciado;       // libcurl's global start, once, before any thread uses it

bool marcador_activo()
{
    return aj_marcador[0] != '\0';
}

unsigned marcador_cambios()
{
    return cambios.load();
}

void marcador_vista(VistaMarcador *v)
{
    std::lock_guard<std::mutex> g(cerrojo);
    *v = estado;
}

// Applies a change to the screens' state under the lock and counts it.
template <class F> static void cambia(F f)
{
    {
        std::lock_guard<std::mutex> g(cerrojo);
        f(estado);
    }
    cambios++;
}

std::string marcador_nombre_conjunto(int i)
{
    if (i <= 0 || i >= n_conjuntos || conjuntos[i].campana)
        return MARCADOR_CAMPANA;
    return nombre_en_linea(conjuntos[i].nombre);
}

bool marcador_carpeta_pendientes(char *out, int tam, bool crea)
{
    if (!ruta_repeticion(PENDIENTES_CARPETA, crea, out, tam))
        return false;
    struct stat st;
    if (crea && stat(out, &st) != 0)
        mkdir(out, 0777);
    return stat(out, &st) == 0 && S_ISDIR(st.st_mode);
}

// --- the exchanges ---

// libcurl's body sink: keeps the answer, at most MARCADOR_RESPUESTA_MAX bytes (more aborts it).
static size_t junta(char *p, size_t t, size_t n, void *dato)
{
    std::string *s = (std::string *)dato;
    if (s->size() + t * n > (size_t)MARCADOR_RESPUESTA_MAX)
        return 0;
    s->append(p, t * n);
    return t * n;
}

// libcurl's progress hook: cuts the exchange short once the program ends.
static int progreso(void *, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return terminar.load() ? 1 : 0;
}

// The server's address with a path after it.
static std::string direccion(const std::string &camino)
{
    std::string base(aj_marcador);
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + camino;
}

// One exchange: GET (no cuerpo, no mime), a POST of cuerpo as octet-stream, or of a form. The
// HTTP status, 0 when no answer came (the answer's body in resp).
static long intercambia(const std::string &url, const std::vector<unsigned char> *cuerpo, curl_mime *(*forma)(CURL *, void *),
                        void *dato, std::string *resp)
{
    std::call_once(curl_iniciado, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL *c = curl_easy_init();
    if (!c)
        return 0;
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, (long)MARCADOR_CONECTA_MS);
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, (long)MARCADOR_TOTAL_MS);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, junta);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, resp);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progreso);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "korvex/" KORV_VERSION);
    struct curl_slist *cabeceras = NULL;
    curl_mime *mime = NULL;
    if (cuerpo) {
        cabeceras = curl_slist_append(cabeceras, "Content-Type: application/octet-stream");
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, cabeceras);
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, cuerpo->data());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)cuerpo->size());
    } else if (forma) {
        mime = forma(c, dato);
        curl_easy_setopt(c, CURLOPT_MIMEPOST, mime);
    }
    long codigo = 0;
    if (curl_easy_perform(c) == CURLE_OK)
        curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &codigo);
    curl_mime_free(mime);
    curl_slist_free_all(cabeceras);
    curl_easy_cleanup(c);
    return codigo;
}

// A file's bytes (a regular file, at most REP_ENVIO_MAX); false when it cannot be read.
static bool lee_bytes(const char *ruta, std::vector<unsigned char> *b)
{
    char motivo[MOTIVO_MAX];
    FILE *f = abre_regular(ruta, motivo, sizeof motivo);
    if (!f)
        return false;
    b->resize(REP_ENVIO_MAX + 1);
    size_t n = fread(b->data(), 1, b->size(), f);
    bool ok = !ferror(f) && n <= (size_t)REP_ENVIO_MAX;
    fclose(f);
    b->resize(n);
    return ok;
}

// The recording and the set's pack of a pending run, for the form of a user set's run.
struct Forma {
    std::vector<unsigned char> rep, paquete;
};

// Builds the multipart form: fields repeticion and paquete.
static curl_mime *arma_forma(CURL *c, void *dato)
{
    Forma *f = (Forma *)dato;
    curl_mime *m = curl_mime_init(c);
    curl_mimepart *p = curl_mime_addpart(m);
    curl_mime_name(p, "repeticion");
    curl_mime_data(p, (const char *)f->rep.data(), f->rep.size());
    curl_mime_filename(p, "partida.rep");
    curl_mime_type(p, "application/octet-stream");
    p = curl_mime_addpart(m);
    curl_mime_name(p, "paquete");
    curl_mime_data(p, (const char *)f->paquete.data(), f->paquete.size());
    curl_mime_filename(p, "conjunto" PAQUETE_EXTENSION);
    curl_mime_type(p, "application/zip");
    return m;
}

// A JSON answer, or null when it is not one.
static nlohmann::json json_de(const std::string &s)
{
    return nlohmann::json::parse(s, nullptr, false);
}

// A text field of an answer ("" when missing), cut to fit a reason.
static std::string texto_de(const nlohmann::json &j, const char *clave)
{
    if (!j.is_object() || !j.contains(clave) || !j[clave].is_string())
        return "";
    return j[clave].get<std::string>().substr(0, MARCADOR_MOTIVO_MAX);
}

// A whole-number field of an answer (0 when missing).
static long long numero_de(const nlohmann::json &j, const char *clave)
{
    if (!j.is_object() || !j.contains(clave) || !j[clave].is_number_integer())
        return 0;
    return j[clave].get<long long>();
}

// The pending run's pack beside it: same name, the pack's extension.
static std::string paquete_de(const std::string &rep)
{
    return rep.substr(0, rep.size() - 4) + PAQUETE_EXTENSION;
}

// The initials a pending file's name begins with ("ABC_..."); false when it does not.
static bool iniciales_de(const char *ruta, char ini[4])
{
    const char *base = strrchr(ruta, '/');
    base = base ? base + 1 : ruta;
    for (int i = 0; i < 3; i++) {
        if (base[i] < 'A' || base[i] > 'Z')
            return false;
        ini[i] = base[i];
    }
    ini[3] = '\0';
    return base[3] == '_';
}

// Removes a pending run and its pack.
static void quita_pendiente(const std::string &rep)
{
    unlink(paquete_de(rep).c_str());
    unlink(rep.c_str());
}

int marcador_envia_pendiente(const char *ruta, long long *id)
{
    char ini[4];
    Forma f;
    std::string rep(ruta), resp;
    *id = 0;
    if (!iniciales_de(ruta, ini) || !lee_bytes(ruta, &f.rep)) {
        fprintf(stderr, _("%s: no es una partida para enviar al marcador; se deja donde esta\n"), ruta);
        return PENDIENTE_AJENO;
    }
    std::string url = direccion(std::string("/api/partidas?iniciales=") + ini);
    struct stat st;
    bool con_paquete = stat(paquete_de(rep).c_str(), &st) == 0;
    if (con_paquete && !lee_bytes(paquete_de(rep).c_str(), &f.paquete)) {
        fprintf(stderr, _("%s: no se puede leer; la partida se deja donde esta\n"), paquete_de(rep).c_str());
        return PENDIENTE_AJENO;
    }
    long codigo = con_paquete ? intercambia(url, NULL, arma_forma, &f, &resp) : intercambia(url, &f.rep, NULL, NULL, &resp);
    if (codigo == HTTP_ACEPTADA) {
        *id = numero_de(json_de(resp), "id");
        quita_pendiente(rep);
        return PENDIENTE_ACEPTADO;
    }
    if (codigo >= HTTP_CLIENTE && codigo < HTTP_SERVIDOR && codigo != HTTP_ESPERA && codigo != HTTP_DEMASIADAS) {
        std::string motivo = texto_de(json_de(resp), "motivo");
        if (motivo.empty())
            motivo = texto_de(json_de(resp), "error");
        fprintf(stderr, _("%s: el marcador no acepta la partida (%ld %s); se descarta\n"), ruta, codigo,
                motivo.c_str());
        cambia([&](VistaMarcador &e) { snprintf(e.motivo, sizeof e.motivo, "%s", motivo.c_str()); });
        quita_pendiente(rep);
        return PENDIENTE_RECHAZADO;
    }
    return PENDIENTE_GUARDADO;
}

// The pending runs, oldest first (their names begin with the initials, then the time).
static std::vector<std::string> pendientes()
{
    std::vector<std::string> v;
    char dir[RUTA_MAX];
    if (!marcador_carpeta_pendientes(dir, sizeof dir, false))
        return v;
    DIR *d = opendir(dir);
    if (!d)
        return v;
    while (struct dirent *e = readdir(d)) {
        size_t n = strlen(e->d_name);
        if (e->d_name[0] != '.' && n > 4 && strcmp(e->d_name + n - 4, ".rep") == 0)
            v.push_back(std::string(dir) + "/" + e->d_name);
    }
    closedir(d);
    std::sort(v.begin(), v.end(), [](const std::string &a, const std::string &b) {
        return a.substr(a.rfind('/') + 4) < b.substr(b.rfind('/') + 4);
    });
    return v;
}

int marcador_envia_pendientes()
{
    int quitados = 0;
    for (const std::string &r : pendientes()) {
        if (terminar.load())
            break;
        long long id;
        int res = marcador_envia_pendiente(r.c_str(), &id);
        if (res == PENDIENTE_GUARDADO)
            break;   // the server is away or busy: the rest wait for the next start too
        quitados += res != PENDIENTE_AJENO;
    }
    return quitados;
}

// --- the network thread ---

// Fetches the online table of set conjunto and difficulty dif into the state, when it is still
// the one asked for.
static void trae_tabla(const std::string &conjunto, int dif)
{
    std::string resp;
    long codigo = intercambia(direccion("/api/tablas/" + conjunto + "/" + std::to_string(dif)), NULL, NULL, NULL, &resp);
    // A set the server has no run of yet is not known there: its table is empty.
    nlohmann::json j = codigo == HTTP_BIEN ? json_de(resp) : codigo == HTTP_NO_HAY ? nlohmann::json::array()
                                                                                  : nlohmann::json();
    if (j.is_object())
        for (const char *clave : {"tabla", "partidas", "filas"})
            if (j.contains(clave) && j[clave].is_array()) {
                j = j[clave];
                break;
            }
    cambia([&](VistaMarcador &e) {
        if (conjunto != e.conjunto || dif != e.dificultad)
            return;
        e.tabla = j.is_array() ? TABLA_LISTA : TABLA_FALLIDA;
        e.filas = 0;
        for (size_t i = 0; j.is_array() && i < j.size() && e.filas < MARCADOR_FILAS; i++) {
            FilaMarcador &f = e.fila[e.filas];
            std::string ini = texto_de(j[i], "iniciales");
            long long pts = numero_de(j[i], "puntos");
            snprintf(f.ini, sizeof f.ini, "%.3s", ini.c_str());
            f.puntos = pts < 0 ? 0 : pts > 0xFFFFFFFFLL ? 0xFFFFFFFFu : (unsigned int)pts;
            f.id = numero_de(j[i], "id");
            e.filas++;
        }
    });
}

// Waits ms milliseconds, or less when the end is asked for; false then.
static bool pausa(int ms)
{
    std::unique_lock<std::mutex> g(cerrojo);
    return !despierta.wait_for(g, std::chrono::milliseconds(ms), [] { return terminar.load(); });
}

// Asks for the verdict on run id until the replay is done (bounded); then the table again.
static void sigue_veredicto(long long id)
{
    for (int i = 0; i < MARCADOR_CONSULTAS && pausa(MARCADOR_CONSULTA_MS); i++) {
        std::string resp;
        if (intercambia(direccion("/api/partidas/" + std::to_string(id)), NULL, NULL, NULL, &resp) != HTTP_BIEN)
            continue;
        nlohmann::json j = json_de(resp);
        std::string est = texto_de(j, "estado"), motivo = texto_de(j, "motivo");
        if (est != "verificada" && est != "rechazada")
            continue;
        long long pts = numero_de(j, "puntos");
        std::string conjunto = texto_de(j, "conjunto");
        cambia([&](VistaMarcador &e) {
            // The server names the run's set: the table to show is that one.
            if (!conjunto.empty() && e.dificultad == numero_de(j, "dificultad"))
                snprintf(e.conjunto, sizeof e.conjunto, "%s", conjunto.c_str());
            e.envio = est == "verificada" ? ENVIO_VERIFICADA : ENVIO_RECHAZADA;
            e.puntos = pts < 0 ? 0 : (unsigned int)pts;
            snprintf(e.motivo, sizeof e.motivo, "%s", motivo.c_str());
        });
        break;
    }
    VistaMarcador v;
    marcador_vista(&v);
    if (v.dificultad >= 0)
        trae_tabla(v.conjunto, v.dificultad);
}

// Sends the run kept in ruta and follows it to its verdict.
static void envia(const std::string &ruta)
{
    long long id;
    int res = marcador_envia_pendiente(ruta.c_str(), &id);
    cambia([&](VistaMarcador &e) {
        e.envio = res == PENDIENTE_ACEPTADO    ? ENVIO_EN_COLA
                  : res == PENDIENTE_RECHAZADO ? ENVIO_RECHAZADA
                  : res == PENDIENTE_AJENO     ? ENVIO_NO_GUARDADA
                                               : ENVIO_FALLIDO;
        e.id = id;
    });
    if (res == PENDIENTE_ACEPTADO)
        sigue_veredicto(id);
}

// The thread: does the jobs in order until the end is asked for.
static void trabaja()
{
    for (;;) {
        Trabajo t;
        {
            std::unique_lock<std::mutex> g(cerrojo);
            despierta.wait(g, [] { return terminar.load() || !cola.empty(); });
            if (terminar.load())
                return;
            t = cola.front();
            cola.pop_front();
        }
        if (t.tipo == TRABAJO_PENDIENTES)
            marcador_envia_pendientes();
        else if (t.tipo == TRABAJO_ENVIA)
            envia(t.texto);
        else
            trae_tabla(t.texto, t.dif);
    }
}

// Gives the thread a job (nothing when it does not run).
static void encarga(const Trabajo &t)
{
    if (!hilo.joinable())
        return;
    {
        std::lock_guard<std::mutex> g(cerrojo);
        if (cola.size() >= COLA_MAX)
            cola.pop_front();
        cola.push_back(t);
    }
    despierta.notify_one();
}

void marcador_arranca()
{
    if (!marcador_activo() || hilo.joinable())
        return;
    std::call_once(curl_iniciado, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    terminar = false;
    hilo = std::thread(trabaja);
    encarga({TRABAJO_PENDIENTES, "", 0});
}

void marcador_cierra()
{
    if (!hilo.joinable())
        return;
    {
        std::lock_guard<std::mutex> g(cerrojo);
        terminar = true;
        cola.clear();
    }
    despierta.notify_all();
    hilo.join();
}

void marcador_pide_tabla(const char *conjunto, int dif)
{
    cambia([&](VistaMarcador &e) {
        snprintf(e.conjunto, sizeof e.conjunto, "%s", conjunto);
        e.dificultad = dif;
        e.tabla = TABLA_PIDIENDO;
        e.filas = 0;
    });
    encarga({TRABAJO_TABLA, conjunto, dif});
}

bool marcador_envia(const char *rep, const char ini[3], int conjunto_i)
{
    static int enviadas = 0;   // runs kept in this session: their names stay apart
    std::vector<unsigned char> bytes, paquete;
    char dir[RUTA_MAX], error[RUTA_MAX + MOTIVO_MAX] = "";
    bool ok = lee_bytes(rep, &bytes) && marcador_carpeta_pendientes(dir, sizeof dir, true);
    bool campana = conjunto_i <= 0 || conjunto_i >= n_conjuntos || conjuntos[conjunto_i].campana;
    if (ok && !campana)
        ok = arma_paquete(conjunto_i, &paquete, error, sizeof error);
    char base[RUTA_MAX + 64] = "";
    snprintf(base, sizeof base, "%s/%.3s_%012lld_%d_%d", ok ? dir : "", ini, (long long)time(NULL), (int)getpid(),
             enviadas++);
    std::string ruta = std::string(base) + ".rep";
    // The pack first: a run is pending once its recording is there, whole.
    ok = ok && (campana || escribe_atomico(paquete_de(ruta).c_str(), paquete.data(), paquete.size())) &&
         escribe_atomico(ruta.c_str(), bytes.data(), bytes.size());
    if (!ok) {
        fprintf(stderr, _("%s: la partida no se pudo guardar para enviarla al marcador %s\n"), rep, error);
        cambia([](VistaMarcador &e) { e.envio = ENVIO_NO_GUARDADA; });
        return false;
    }
    cambia([](VistaMarcador &e) {
        e.envio = ENVIO_ENVIANDO;
        e.motivo[0] = '\0';
    });
    encarga({TRABAJO_ENVIA, ruta, 0});
    return true;
}
