// Fuzz target of korvex-marcador's upload path: the first byte chooses (bit 0) whether the
// recording's CRC is made right and (bit 1) whether a pack follows it (then the next 4 bytes are
// the recording's length); the rest are the bytes sent. Every answer is JSON with a status of the
// interface, a refusal says why, and a run taken is replayed by the verifier to a verdict.
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "marcador/conocidos.h"
#include "marcador/juez.h"
#include "marcador/servidor.h"
#include "tests/fuzz/arnes.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    arnes::monta(true);
    const char *datos = getenv("KORV_DATOS");   // the built data: the campaign's levels
    arnes::exige(datos && chdir(datos) == 0, "KORV_DATOS nombra los datos");
    std::string base = arnes::carpeta_rapida() + "/fuzz_marcador.db";
    unlink(base.c_str());
    arnes::exige(base_abre(base.c_str()) && conocidos_arranca(), "la base y la campana");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    std::string rep((const char *)data + 1, size - 1), paq;
    if ((data[0] & 2) && rep.size() >= 4) {
        size_t n = data[1] | (data[2] << 8) | (data[3] << 16) | ((size_t)data[4] << 24);
        rep.erase(0, 4);
        if (n < rep.size()) {
            paq = rep.substr(n);
            rep.resize(n);
        }
    }
    if ((data[0] & 1) && rep.size() >= 4) {
        unsigned crc = crc32_bytes(0, rep.data(), rep.size() - 4);
        for (int i = 0; i < 4; i++)
            rep[rep.size() - 4 + i] = (char)(crc >> (8 * i));
    }
    Respuesta r = servidor_recibe("ABC", rep, paq);
    nlohmann::json j = nlohmann::json::parse(r.cuerpo, nullptr, false);
    arnes::exige(!j.is_discarded() && j.is_object(), "la respuesta es JSON");
    arnes::exige(r.status == 202 || r.status == 400 || r.status == 413, "un estado de la interfaz");
    arnes::exige(r.status == 202 || j.contains("error"), "un rechazo dice por que");
    if (r.status == 202) {
        static Repeticion rr;
        char motivo[400];
        SetConocido s;
        arnes::exige(descifra_repeticion((const unsigned char *)rep.data(), rep.size(), &rr, motivo, sizeof motivo) &&
                         conocido_por_clave(conocidos_clave(rr), &s),
                     "una partida tomada es de un conjunto conocido");
        Veredicto v = juez_reproduce(Octetos(rep.begin(), rep.end()), s.niveles);
        arnes::exige(v.bien || !v.motivo.empty(), "un veredicto con su motivo");
    }
    juez_para();   // no pool here: the queue emptied
    return 0;
}
