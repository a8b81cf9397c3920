// The editor's declarations inside namespace editor, for a program that also holds the game.
// Every header the editor's modules use is included first, at file scope.
#ifndef KORV_EDITOR_APARTE_H
#define KORV_EDITOR_APARTE_H

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "shared/busca.h"
#include "shared/carga.h"
#include "shared/rutas.h"

namespace editor {
#include "editor/mained.h"
}  // namespace editor

#endif
