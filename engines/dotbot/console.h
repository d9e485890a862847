// The engine's standard streams. The referee ends lines in "\n" and reads ours the same
// way, so no line-end translation may happen on either stream; one .cpp per platform.
#pragma once

// Puts standard input and output into binary mode where the platform has a text mode.
void use_binary_console();
