#include "engines/dotbot/console.h"

// POSIX streams never translate line ends.
void use_binary_console() {}
