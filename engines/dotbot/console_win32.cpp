#include "engines/dotbot/console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

// In text mode Windows would write "\r\n" for each "\n" and end input at a Ctrl-Z byte.
void use_binary_console() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
}
