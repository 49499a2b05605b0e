// The generated protocol tables, built as C++ after their C declarations so that they keep C
// linkage: the project compiles no C.
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

// The tables' hidden visibility comes after the header declared them: harmless in a static
// library, but GCC says so.
#pragma GCC diagnostic ignored "-Wattributes"
#include "wlr-layer-shell-unstable-v1-protocol.c"
#include "xdg-shell-protocol.c"
