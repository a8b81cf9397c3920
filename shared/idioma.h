// idioma: the language the programs speak. Spanish is the source: its texts are the message ids,
// shown as they stand; English comes from the text domain "korvex" (po/en.po, built into
// locale/en/LC_MESSAGES/korvex.mo) through the C library's gettext. The choice follows the
// player's setting, or the desktop's variables the way gettext reads them, and never depends on
// the desktop's locale being installed.
#ifndef KORV_IDIOMA_H
#define KORV_IDIOMA_H

enum {
    IDIOMA_AUTO = 0,   // the setting: follow the desktop
    IDIOMA_ES = 1,     // Spanish: the texts as written
    IDIOMA_EN = 2      // English
};

#define KORV_DOMINIO "korvex"   // the text domain of both programs

extern int idioma;   // the language in use: IDIOMA_ES or IDIOMA_EN

// The language the desktop asks for, read as gettext reads it: the locale is the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty; none, "C" or "POSIX" (with any suffix) is
// Spanish; otherwise the first language of LANGUAGE (a colon list), or the locale's own, that is
// Spanish or English. Anything else is Spanish.
int idioma_del_entorno(const char *language, const char *lc_all, const char *lc_messages, const char *lang);
// Puts a language in use: ajuste IDIOMA_AUTO (the desktop's, from the environment as it was at
// the first call: English sets LANGUAGE for gettext and a later change puts it back), IDIOMA_ES or
// IDIOMA_EN; carpeta: the folder holding en/LC_MESSAGES/korvex.mo. Takes effect at once for every
// text translated after it.
void pon_idioma(int ajuste, const char *carpeta);
// The folder of the catalogues: locale/ beside the running program (the build folder), else
// ../share/locale from its folder (an installed prefix).
const char *carpeta_catalogo();
// The text in the language in use: t itself in Spanish, else its translation (t when it has none).
const char *traduce(const char *t);

// Marks a text to translate where it is used, or (N_) where it is only listed for later.
#define _(t) traduce(t)
#define N_(t) t

#endif
