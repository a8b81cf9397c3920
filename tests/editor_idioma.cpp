// The editor's help cards fit the page in both languages, with its font (the library's).
#include "editor/mained.h"
#include "shared/ayuda.h"
#include "shared/idioma.h"
#include "tests/prueba.h"

TEST(EditorIdioma, CadaCartaCabeEnLosDosIdiomas)
{
    const Ayuda *cartas[] = {&AYUDA_EDICION,   &AYUDA_MENU,  &AYUDA_LISTA,        &AYUDA_SI_NO,   &AYUDA_VELOCIDAD,
                             &AYUDA_CONJUNTOS, &AYUDA_ELIGE, &AYUDA_GUARDAR_COMO, &AYUDA_ESCRIBE};
    BITMAP *hoja = create_bitmap(320, 240);
    for (int idioma_en : {IDIOMA_ES, IDIOMA_EN}) {
        pon_idioma(idioma_en, KORV_DIR "/locale");
        for (const Ayuda *c : cartas)
            EXPECT_TRUE(dibuja_ayuda(hoja, c)) << idioma_en << " " << c->lineas[0].que;
    }
    pon_idioma(IDIOMA_ES, KORV_DIR "/locale");
    destroy_bitmap(hoja);
}
