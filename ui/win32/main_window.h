// The main window and its status bar. The thread that runs WinMain owns both handles: it
// creates them, runs the message loop, and is the only thread that paints, takes clicks,
// handles the clock timer and applies moves. Reader threads reach it only through the
// hand-off (ui/handoff.h): their status texts and moves wait in its queue, each with a
// message posted to wake the window's thread, which carries them out while they wait.
#pragma once

#include <windows.h>

extern HWND main_window;
extern HWND status_bar;

// Asks the window's thread to run the oldest piece of handed-off work; no parameters.
constexpr UINT WM_RUN_HANDOFF = WM_APP + 1;

// Registers "MainWndClass"; true when the class exists.
bool register_main_class(HINSTANCE instance);

// Creates main_window ("Fendrel", its size fixed from the board), shows it and paints it
// once; false when it could not be created.
bool create_main_window(HINSTANCE instance, int show_command);

// Sets up the board, creates and shows the main window with its status bar, and starts the
// game; false when the window could not be created (no engine is started then).
bool start_up(HINSTANCE instance, int show_command);

// The main window's messages: painting, clicks, the clock timer, work handed off by reader
// threads, and shutdown.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Dispatches the thread's messages until the quit message, keys and clicks first; returns
// the quit message's code.
int run_message_loop();
