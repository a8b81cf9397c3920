// The editor's module mained_raton, compiled into namespace editor: the game and the editor
// share global names (a, b, c, k, archivo, scroll...), so one program holds both only this way.
#include "editor_aparte.h"

namespace editor {
#include "editor/mained_raton.cpp"
}  // namespace editor
