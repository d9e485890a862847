// Cutting an engine's output into lines, apart from any pipe so that it can be tested and
// fuzzed on its own. Bytes wait in a fixed buffer of ENGINE_LINE_SIZE - 1 characters
// (plus its NUL) until a line can be cut:
//   - the text before the first "\n" is a line; the "\n" goes, and so does a "\r" right
//     after it when that "\r" is already in the buffer; a "\r" before the "\n" stays;
//   - a full buffer without any "\n" is handed out whole as one line, so that an engine
//     that never ends its line cannot stop the reading; a "\n" (and a "\r" right after
//     it) that comes next only ends that line, so a line of exactly 4095 characters comes
//     out as one line, not as that line and an empty one.
// NUL bytes never enter the buffer: a line is a C string and keeps every other byte.
#pragma once

// How many bytes the next read may bring: the room left in the buffer. Never 0 while no
// line can be cut, because a full buffer is always a line.
int pending_room(int pending_length);

// Appends up to pending_room(pending_length) bytes of chunk to pending, dropping NULs.
void append_chunk(char* pending, int& pending_length, const char* chunk, int length);

// Moves the next line, NUL-terminated, from pending into line; false when pending holds no
// complete line yet. `after_full` carries from one call to the next whether the last line
// was a full buffer whose "\n" may still come.
bool cut_line(char* pending, int& pending_length, char* line, bool& after_full);
