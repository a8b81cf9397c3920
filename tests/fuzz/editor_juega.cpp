// The editor's module mained_juega, compiled into namespace editor: the game and the editor
// share global names (a, b, c, k, archivo, scroll...), so one program holds both only this way.
#include "editor_aparte.h"

namespace editor {
#include "editor/mained_juega.cpp"
}  // namespace editor
