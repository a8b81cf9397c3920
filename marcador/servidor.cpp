// servidor: the routes of the interface, the rate of each client address, the page of tables.
#include "marcador/servidor.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <httplib.h>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>

#include "marcador/base.h"
#include "marcador/conocidos.h"
#include "marcador/juez.h"
#include "shared/idioma.h"

using json = nlohmann::json;

static std::atomic<httplib::Server *> servidor;   // the server serving, or NULL
static std::atomic<bool> pedido_parar;           // servidor_para was called
static int limite_envios;           // runs one address may send a minute

enum {
    HTTP_BIEN = 200, HTTP_ACEPTADA = 202, HTTP_MAL = 400, HTTP_NO_HAY = 404, HTTP_GRANDE = 413, HTTP_RAPIDO = 429,
    HTTP_FALLO = 500, HTTP_LLENO = 503,
    COLA_REINTENTO_S = 10,   // Retry-After of a full queue, s
    INICIALES_MAX = 3,       // letters of the initials, as the tables keep them
    DIFICULTADES_TABLA = 3   // difficulties 0..2
};

static const char TIPO_JSON[] = "application/json; charset=utf-8";
static const char TIPO_PAQUETE[] = "application/x-korvex-niveles";
// The difficulties by the names the game gives them.
static const char *const NOMBRE_DIFICULTAD[DIFICULTADES_TABLA] = {N_("VOY DE PASEO"), N_("QUIERO JUGAR"),
                                                                   N_("SOY JODIDO")};

// --- the rate of each address: two buckets of tokens, one for runs sent, one for any request ---

struct Cubeta {
    double envios, peticiones;   // tokens left
    std::chrono::steady_clock::time_point visto;   // when they were last counted
};
static std::mutex ritmo_cerrojo;
static std::map<std::string, Cubeta> cubetas;   // by client address, at most DIRECCIONES_MAX

// Makes room for one more address: the one seen longest ago goes (its bucket refills anyway).
static void haz_sitio()
{
    auto viejo = cubetas.begin();
    for (auto i = cubetas.begin(); i != cubetas.end(); ++i)
        if (i->second.visto < viejo->second.visto)
            viejo = i;
    cubetas.erase(viejo);
}

// Takes a token for a request (and one for a run sent when envio); 0 when there was one, else
// the seconds until there is.
static int toma_turno(const std::string &dir, bool envio)
{
    double por_minuto = limite_envios, max_pet = limite_envios * (double)PETICIONES_POR_ENVIO;
    auto ahora = std::chrono::steady_clock::now();
    std::lock_guard<std::mutex> l(ritmo_cerrojo);
    auto i = cubetas.find(dir);
    if (i == cubetas.end()) {
        if (cubetas.size() >= (size_t)DIRECCIONES_MAX)
            haz_sitio();
        i = cubetas.emplace(dir, Cubeta{por_minuto, max_pet, ahora}).first;
    }
    Cubeta &c = i->second;
    double s = std::chrono::duration<double>(ahora - c.visto).count();
    c.visto = ahora;
    c.envios = std::min(por_minuto, c.envios + s * por_minuto / 60);
    c.peticiones = std::min(max_pet, c.peticiones + s * max_pet / 60);
    if (c.peticiones < 1)
        return 1 + (int)((1 - c.peticiones) * 60 / max_pet);
    if (envio && c.envios < 1)
        return 1 + (int)((1 - c.envios) * 60 / por_minuto);
    c.peticiones -= 1;
    if (envio)
        c.envios -= 1;
    return 0;
}

// --- answers ---

static void responde(httplib::Response &res, int status, const json &j)
{
    res.status = status;
    res.set_content(j.dump(), TIPO_JSON);
}

// An error: {"error": what, "motivo": why}.
static void error(httplib::Response &res, int status, const std::string &que, const std::string &motivo = "")
{
    json j = {{"error", que}};
    if (!motivo.empty())
        j["motivo"] = motivo;
    responde(res, status, j);
}

// The initials of a table: one to three letters or digits, in capitals; "" when not such.
static std::string iniciales_de(const std::string &t)
{
    if (t.empty() || t.size() > INICIALES_MAX)
        return "";
    std::string r;
    for (char c : t) {
        if (!isalnum((unsigned char)c) && c != ' ')
            return "";
        r += (char)toupper((unsigned char)c);
    }
    return r;
}

// An answer as JSON: {"error": what, "motivo": why}.
static Respuesta falla(int status, const std::string &que, const std::string &motivo = "", int reintento = 0)
{
    json j = {{"error", que}};
    if (!motivo.empty())
        j["motivo"] = motivo;
    return Respuesta{status, j.dump(), reintento};
}

Respuesta servidor_recibe(const std::string &iniciales, const std::string &rep_txt, const std::string &paq_txt)
{
    std::string ini = iniciales_de(iniciales);
    if (ini.empty())
        return falla(HTTP_MAL, "faltan las iniciales (una a tres letras)");
    if (rep_txt.size() > (size_t)REP_ENVIO_MAX || paq_txt.size() > (size_t)PAQUETE_ENVIO_MAX)
        return falla(HTTP_GRANDE, "demasiado grande");
    Octetos rep(rep_txt.begin(), rep_txt.end());
    static thread_local Repeticion r;
    char motivo[400];
    if (!descifra_repeticion(rep.data(), rep.size(), &r, motivo, sizeof motivo) ||
        !partida_admitida(r, motivo, sizeof motivo))
        return falla(HTTP_MAL, "repeticion rechazada", motivo);
    SetConocido s;
    if (!paq_txt.empty()) {
        if (!conocidos_toma_paquete(Octetos(paq_txt.begin(), paq_txt.end()), r, &s, motivo, sizeof motivo))
            return falla(HTTP_MAL, "paquete rechazado", motivo);
    } else if (!conocido_por_clave(conocidos_clave(r), &s)) {
        return falla(HTTP_MAL, "repeticion rechazada", "niveles desconocidos");
    }
    if (!juez_hay_sitio())
        return falla(HTTP_LLENO, "la cola esta llena", "", COLA_REINTENTO_S);
    long long id = base_nueva(s.slug, r.dificultad, ini, rep);
    if (id < 0)
        return falla(HTTP_FALLO, "no se pudo guardar la partida");
    juez_encola(id);
    return Respuesta{HTTP_ACEPTADA, json{{"id", id}, {"estado", ESTADO_COLA}}.dump(), 0};
}

// POST /api/partidas?iniciales=ABC: a recording alone (the campaign or a set known already), or
// multipart with "repeticion" and "paquete" (the set's pack).
static void recibe(const httplib::Request &req, httplib::Response &res)
{
    std::string rep = req.body, paq;
    if (req.is_multipart_form_data()) {
        if (!req.has_file("repeticion"))
            return error(res, HTTP_MAL, "falta la repeticion");
        rep = req.get_file_value("repeticion").content;
        if (req.has_file("paquete"))
            paq = req.get_file_value("paquete").content;
    }
    Respuesta r = servidor_recibe(req.get_param_value("iniciales"), rep, paq);
    if (r.reintento > 0)
        res.set_header("Retry-After", std::to_string(r.reintento));
    res.status = r.status;
    res.set_content(r.cuerpo, TIPO_JSON);
}

// GET /api/partidas/ID
static void estado(const httplib::Request &req, httplib::Response &res)
{
    Partida p;
    if (!base_partida(atoll(req.matches[1].str().c_str()), &p))
        return error(res, HTTP_NO_HAY, "no hay tal partida");
    json j = {{"id", p.id}, {"estado", p.estado}, {"conjunto", p.conjunto}, {"dificultad", p.dificultad},
              {"iniciales", p.iniciales}};
    if (p.estado != ESTADO_COLA)
        j["ms"] = p.ms;
    if (p.estado == ESTADO_MAL)
        j["motivo"] = p.motivo;
    if (p.estado == ESTADO_BIEN)
        j["puntos"] = p.puntos;
    responde(res, HTTP_BIEN, j);
}

// GET /api/tablas/SET/D: the best verified runs, best first.
static void tabla(const httplib::Request &req, httplib::Response &res)
{
    SetConocido s;
    if (!conocido_por_slug(req.matches[1].str(), &s))
        return error(res, HTTP_NO_HAY, "no hay tal conjunto");
    json t = json::array();
    int n = 0;
    for (const Partida &p : base_tabla(s.slug, atoi(req.matches[2].str().c_str()), TABLA_MAX))
        t.push_back({{"posicion", ++n}, {"id", p.id}, {"iniciales", p.iniciales}, {"puntos", p.puntos},
                     {"repeticion", "/partidas/" + std::to_string(p.id) + ".rep"}});
    responde(res, HTTP_BIEN, t);
}

// GET /partidas/ID.rep: a kept recording's bytes.
static void grabacion(const httplib::Request &req, httplib::Response &res)
{
    Octetos rep;
    std::string id = req.matches[1].str();
    if (!base_grabacion(atoll(id.c_str()), &rep))
        return error(res, HTTP_NO_HAY, "no hay tal repeticion");
    res.set_header("Content-Disposition", "attachment; filename=\"korvex-" + id + ".rep\"");
    res.set_content(std::string(rep.begin(), rep.end()), "application/octet-stream");
}

// GET /conjuntos/SET.korvex: a known set's pack.
static void paquete(const httplib::Request &req, httplib::Response &res)
{
    SetConocido s;
    if (!conocido_por_slug(req.matches[1].str(), &s))
        return error(res, HTTP_NO_HAY, "no hay tal conjunto");
    res.set_header("Content-Disposition", "attachment; filename=\"" + s.slug + ".korvex\"");
    res.set_content(std::string(s.paquete.begin(), s.paquete.end()), TIPO_PAQUETE);
}

// Text made safe inside HTML.
static std::string html(const std::string &t)
{
    std::string r;
    for (char c : t)
        r += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : c == '"' ? "&quot;" : std::string(1, c);
    return r;
}

// The tables of one set on the page.
static std::string tablas_html(const SetConocido &s)
{
    std::string h = "<h2>" + html(s.nombre) + "</h2>\n";
    if (s.slug != CAMPANA_SLUG)
        h += "<p><a href=\"/conjuntos/" + s.slug + ".korvex\">" + html(_("Los niveles de este conjunto")) +
             "</a> (<code>korvex -instala " + s.slug + ".korvex</code>)</p>\n";
    for (int d = 0; d < DIFICULTADES_TABLA; d++) {
        h += "<h3>" + html(_(NOMBRE_DIFICULTAD[d])) + "</h3>\n";
        std::vector<Partida> t = base_tabla(s.slug, d, TABLA_MAX);
        if (t.empty()) {
            h += "<p>" + html(_("Nadie todavia.")) + "</p>\n";
            continue;
        }
        h += "<table><tr><th>#</th><th>" + html(_("INICIALES")) + "</th><th>" + html(_("PUNTOS")) + "</th><th>" +
             html(_("REPETICION")) + "</th></tr>\n";
        int n = 0;
        for (const Partida &p : t) {
            std::string id = std::to_string(p.id);
            h += "<tr><td>" + std::to_string(++n) + "</td><td>" + html(p.iniciales) + "</td><td class=\"n\">" +
                 std::to_string(p.puntos) + "</td><td><a href=\"/partidas/" + id + ".rep\">korvex-" + id +
                 ".rep</a></td></tr>\n";
        }
        h += "</table>\n";
    }
    return h;
}

// GET /: every set's tables, no script.
static void pagina(const httplib::Request &, httplib::Response &res)
{
    std::string h =
        "<!DOCTYPE html>\n<html lang=\"es\"><head><meta charset=\"utf-8\"><title>KORVEX: " +
        html(_("RECORDS EN LINEA")) +
        "</title>\n<style>body{background:#10101c;color:#e8e8f0;font-family:monospace;margin:2em}"
        "h1{color:#ffd040}h2{color:#60e0ff;border-bottom:1px solid #445}h3{color:#ff70c0;margin-bottom:.3em}"
        "table{border-collapse:collapse}td,th{padding:.15em .8em;text-align:left}td.n{text-align:right}"
        "tr:nth-child(even){background:#1c1c2c}a{color:#a0ffa0}code{color:#ffd040}</style></head><body>\n"
        "<h1>KORVEX: " + html(_("RECORDS EN LINEA")) + "</h1>\n<p>" +
        html(_("Cada partida de estas tablas fue jugada de nuevo aqui con la logica del juego, tecla por tecla: "
               "sus puntos son los que dio la partida. Para verla, bajar su repeticion y:")) +
        " <code>korvex -repeticion korvex-N.rep</code></p>\n";
    for (const std::string &slug : conocidos_slugs()) {
        SetConocido s;
        if (conocido_por_slug(slug, &s))
            h += tablas_html(s);
    }
    h += "</body></html>\n";
    res.set_content(h, "text/html; charset=utf-8");
}

// --- the threads that answer: a bounded number of connections waits for them; the rest wait
// in the kernel's backlog (the accepting thread waits for room) ---

class ColaAcotada : public httplib::TaskQueue {
public:
    explicit ColaAcotada(int hilos)
    {
        for (int i = 0; i < hilos; i++)
            hilos_.emplace_back([this] { trabaja(); });
    }
    void enqueue(std::function<void()> fn) override
    {
        std::unique_lock<std::mutex> l(m_);
        sitio_.wait(l, [this] { return fin_ || trabajos_.size() < (size_t)HTTP_ESPERANDO_MAX; });
        trabajos_.push_back(std::move(fn));
        hay_.notify_one();
    }
    void shutdown() override
    {
        {
            std::lock_guard<std::mutex> l(m_);
            fin_ = true;
        }
        hay_.notify_all();
        sitio_.notify_all();
        for (std::thread &h : hilos_)
            h.join();
    }

private:
    // A thread: the connections in turn until the end (those waiting are answered first).
    void trabaja()
    {
        for (;;) {
            std::function<void()> fn;
            {
                std::unique_lock<std::mutex> l(m_);
                hay_.wait(l, [this] { return fin_ || !trabajos_.empty(); });
                if (trabajos_.empty())
                    return;
                fn = std::move(trabajos_.front());
                trabajos_.pop_front();
                sitio_.notify_one();
            }
            fn();
        }
    }
    std::mutex m_;
    std::condition_variable hay_, sitio_;
    std::deque<std::function<void()>> trabajos_;
    std::vector<std::thread> hilos_;
    bool fin_ = false;
};

// Before any route: the address's rate (429 with Retry-After).
static httplib::Server::HandlerResponse antes(const httplib::Request &req, httplib::Response &res)
{
    int espera = toma_turno(req.remote_addr, req.method == "POST");
    if (espera == 0)
        return httplib::Server::HandlerResponse::Unhandled;
    res.set_header("Retry-After", std::to_string(espera));
    error(res, HTTP_RAPIDO, "demasiadas peticiones");
    return httplib::Server::HandlerResponse::Handled;
}

bool servidor_sirve(const char *addr, int port, int limite)
{
    limite_envios = limite;
    httplib::Server svr;
    svr.new_task_queue = [] { return new ColaAcotada(HTTP_HILOS); };
    svr.set_read_timeout(HTTP_PLAZO_S, 0);
    svr.set_write_timeout(HTTP_PLAZO_S, 0);
    svr.set_keep_alive_timeout(HTTP_PLAZO_S);
    svr.set_payload_max_length(REP_ENVIO_MAX + PAQUETE_ENVIO_MAX + (64 << 10));   // and the form's own lines
    svr.set_pre_routing_handler(antes);
    svr.Post("/api/partidas", recibe);
    svr.Get(R"(/api/partidas/(\d{1,18}))", estado);
    svr.Get(R"(/api/tablas/([a-z0-9-]{1,40})/([0-2]))", tabla);
    svr.Get(R"(/partidas/(\d{1,18})\.rep)", grabacion);
    svr.Get(R"(/conjuntos/([a-z0-9-]{1,40})\.korvex)", paquete);
    svr.Get("/", pagina);
    svr.set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.body.empty())
            error(res, res.status, res.status == HTTP_GRANDE ? "demasiado grande" : "no hay tal cosa");
    });
    int puerto = port;
    if (port == 0)
        puerto = svr.bind_to_any_port(addr);
    else if (!svr.bind_to_port(addr, port))
        puerto = -1;
    if (puerto < 0) {
        fprintf(stderr, _("korvex-marcador: no se puede escuchar en %s:%d\n"), addr, port);
        return false;
    }
    printf(_("korvex-marcador: escuchando en http://%s:%d\n"), addr, puerto);
    fflush(stdout);
    servidor = &svr;
    bool bien = pedido_parar || svr.listen_after_bind();
    servidor = NULL;
    return bien;
}

void servidor_para()
{
    pedido_parar = true;
    httplib::Server *s = servidor;
    if (s)
        s->stop();
}
