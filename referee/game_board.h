// The window program's one game: a board of FENDREL_COLS x FENDREL_ROWS under the fendrel
// rules, set up once at start-up (init_board) and changed only where every move is applied
// (the window's thread or its stand-in).
#pragma once

#include "rules/board.h"

extern Board game_board;
