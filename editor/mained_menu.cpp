// mained: the main menu (stand-in until the editor lands).
#include "mained.h"

void korveditor()
{
    clear_keybuf();
    readkey();
}
