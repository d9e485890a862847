#include "referee/game_board.h"

Board game_board;
