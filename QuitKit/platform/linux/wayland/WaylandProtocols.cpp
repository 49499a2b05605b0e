// The generated protocol tables, built as C++ after their C declarations so that they keep C
// linkage: the project compiles no C.
#include "ext-foreign-toplevel-list-v1-client-protocol.h"
#include "plasma-window-management-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

// The tables' hidden visibility comes after the header declared them: harmless in a static
// library, but GCC says so.
#pragma GCC diagnostic ignored "-Wattributes"
#include "ext-foreign-toplevel-list-v1-protocol.c"
#include "plasma-window-management-protocol.c"
#include "wlr-foreign-toplevel-management-unstable-v1-protocol.c"
