// idioma: the language in use and the translation of a text (gettext, the catalogue chosen by us).
#include "shared/idioma.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <libintl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

int idioma = IDIOMA_ES;

// The desktop's LANGUAGE as the program found it (English sets its own): read once, put back
// when the language changes again, so that AUTO and a program started from here see the desktop's.
static std::string language_del_escritorio;
static bool language_guardado, language_habia;

// The language of a locale or language name ("en_US.UTF-8", "es", "en:fr"'s first): ES, EN or 0.
static int idioma_de(const char *nombre, size_t largo)
{
    if (largo >= 2 && strncmp(nombre, "en", 2) == 0 && (largo == 2 || strchr("_.@", nombre[2])))
        return IDIOMA_EN;
    if (largo >= 2 && strncmp(nombre, "es", 2) == 0 && (largo == 2 || strchr("_.@", nombre[2])))
        return IDIOMA_ES;
    return 0;
}

// True for a locale that asks for no translation: "C" or "POSIX", alone or with a suffix.
static bool es_c(const char *l)
{
    size_t n = strcspn(l, ".@");
    return (n == 1 && l[0] == 'C') || (n == 5 && strncmp(l, "POSIX", 5) == 0);
}

int idioma_del_entorno(const char *language, const char *lc_all, const char *lc_messages, const char *lang)
{
    const char *locale = lc_all && *lc_all ? lc_all : lc_messages && *lc_messages ? lc_messages : lang;
    if (!locale || !*locale || es_c(locale))
        return IDIOMA_ES;
    for (const char *p = language ? language : ""; *p;) {
        size_t n = strcspn(p, ":");
        int i = idioma_de(p, n);
        if (i)
            return i;
        p += n + (p[n] == ':');
    }
    int i = idioma_de(locale, strlen(locale));
    return i ? i : IDIOMA_ES;
}

// LANGUAGE back as the desktop gave it.
static void repone_language()
{
    if (!language_guardado)
        return;
    if (language_habia)
        setenv("LANGUAGE", language_del_escritorio.c_str(), 1);
    else
        unsetenv("LANGUAGE");
}

void pon_idioma(int ajuste, const char *carpeta)
{
    if (!language_guardado) {
        const char *l = getenv("LANGUAGE");
        language_habia = l != NULL;
        language_del_escritorio = l ? l : "";
        language_guardado = true;
    }
    repone_language();
    idioma = ajuste == IDIOMA_EN || ajuste == IDIOMA_ES
                 ? ajuste
                 : idioma_del_entorno(getenv("LANGUAGE"), getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
    if (idioma != IDIOMA_EN)
        return;
    // gettext translates only outside the C locale, and the desktop's own locale may not be
    // installed: the C library's UTF-8 C locale always is. LANGUAGE then names the catalogue.
    setlocale(LC_MESSAGES, "C.UTF-8");
    setenv("LANGUAGE", "en", 1);
    bindtextdomain(KORV_DOMINIO, carpeta);
    bind_textdomain_codeset(KORV_DOMINIO, "UTF-8");
    // A change of domain makes gettext forget the translations it looked up before.
    textdomain("");
    textdomain(KORV_DOMINIO);
}

const char *traduce(const char *t)
{
    if (idioma != IDIOMA_EN || !t || !*t)
        return t;
    return dgettext(KORV_DOMINIO, t);
}

const char *carpeta_catalogo()
{
    static std::string carpeta;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return carpeta = "locale", carpeta.c_str();
    exe[n] = 0;
    std::string dir(exe, strrchr(exe, '/') ? strrchr(exe, '/') - exe : 0);
    // Beside the programs in the build folder; installed, the system's locale folder of their prefix.
    struct stat st;
    carpeta = dir + "/locale";
    if (stat(carpeta.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        carpeta = dir + "/../share/locale";
    return carpeta.c_str();
}
