// The owner-less message boxes of the Linux window. The box about an engine's move is shown
// for that engine's reader thread, which waits until it is closed, while the window's
// thread goes on: one engine's box holds up no other move and no other box, and closing a
// box releases exactly the reader it was shown for, in whatever order boxes are closed.
// A box of the window's own thread (a click's) waits in an event loop of its own, in which
// the window goes on too.
#pragma once

// Shows a box and returns once it is closed, or the window is closing.
void show_message_box(const char* text, const char* caption);

// Window's thread, as the window closes: closes every box shown for a reader and releases
// the readers that wait on them; later boxes of readers return at once.
void release_reader_boxes();
