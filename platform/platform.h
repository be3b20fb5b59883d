// Our stand-in for the operating system, the floor every other layer stands
// on: clock, sleep, random numbers, files, message boxes, the system font,
// keyboard and window events, start and shutdown. It includes nothing from
// the layers above it.
//
// The header set: platform.h (this file), display.h, launcher_window.h,
// sound_output.h, pixels.h and work_sharing.h state everything the layers
// above may call. Part of it is written once in platform/ for every target
// (clock.cpp, random.cpp, files.cpp, messages.cpp, keys.cpp, display_info.cpp,
// display_record.cpp, launcher_canvases.cpp, launcher_events.cpp, pixels.cpp,
// work_sharing.cpp); the rest is each target's, in its own folder
// (platform/desktop/, platform/web/, platform/windows/). A target's duties,
// each with its contract where it is declared:
//   platform.h         Delay, SystemFontFile, PollWindowEvent, StartPlatform,
//                      QuitRequested, ShutdownPlatform
//   target.h           ShowMessageBox, ReadEscape; keeping shownDisplay current
//   display.h          every function under "each target provides"
//   launcher_window.h  every function under "each target provides"
//   sound_output.h     StartEngine, StopEngine, PlayVoice, SetVoiceVolume
// Headers only one target uses stay in its folder. Test builds add
// test_hooks.h (test_hooks.cpp, and the hook points each target marks).
#pragma once
#include <cstdint>
#include <string>

// ---- time (clock.cpp; Delay: target) ---------------------------------------
// Milliseconds since the first call in the process (monotonic clock).
int64_t ElapsedMs();
// Sleeps for ms milliseconds, where the target can sleep (a browser's main
// thread cannot: its loops are paced by animation frames instead).
void Delay(int64_t ms);
// The driven clock: from this call on, ElapsedMs returns ms (and nothing else
// moves it) until UseRealClock. The capture and the tools play the show on
// it, one frame time after another, so a frame never depends on how long
// painting took.
void DriveClock(int64_t ms);
// Back to the monotonic clock.
void UseRealClock();
// Starts the clock again from 0 (a driven clock is set to 0).
void RestartClock();
// While held, the real clock stands still; released, it goes on from where it
// stood, moved on by catchUpMs (what an outside clock ran meanwhile).
void HoldClock();
void ReleaseClock(int64_t catchUpMs);
// Truncation towards zero; infinities and NaN give 0.
int64_t TruncToInt(double x);

// ---- random numbers (random.cpp) ---------------------------------------------
// Uniform integer in 0..max inclusive; per-thread state, seeded from the thread
// and the clock on first use. max <= 0 gives 0.
int64_t RandomInt(int64_t max);
// Seeds the calling thread's generator, so that what follows repeats exactly
// from run to run (the capture's --seed, the tools, the web comparisons).
void SeedRandom(uint64_t seed);

// ---- message boxes (messages.cpp; the box itself: target) -----------------------
// Modal box with an OK button; returns when it is closed (where the target can
// wait: a web page queues it and goes on). Nothing is shown once a quit signal
// has arrived. Without a display it writes the message to standard error.
void MessageBox(const std::string& title, const std::string& text);
// While on, message boxes are collected as "title|text\n" lines instead of
// shown: the tools and the capture report them their own way.
void CollectMessages(bool on);
const std::string& CollectedMessages();
void ClearCollectedMessages();

// ---- files (files.cpp) -----------------------------------------------------------
// The user's temporary directory, ending in '/'.
std::string GetTempDirectory();
// Size of a file in bytes; -1 when it does not exist, -2 for a directory.
int64_t FileSize(const std::string& path);
// Creates a directory (trailing blanks and slashes stripped); 0 on failure.
int CreateDirectory(const std::string& path);
// Opens (creates or truncates) a file for writing; 0 on failure.
intptr_t CreateFileForWrite(const std::string& path);
// Writes len bytes; 0 on failure.
int WriteData(intptr_t file, const void* bytes, int64_t len);
// Closes (and flushes) the file; 0 on failure.
int CloseFile(intptr_t file);
// Reads a whole file; false when it cannot be opened or read completely.
bool ReadWholeFile(const std::string& path, std::string& out);
// Opens the asset folder once, for the file functions above: from then on a
// path naming a file in it reaches that file through the open folder, never
// by looking the path up again. The folder must be the user's own and closed
// to others, and no folder on its path may be a link; otherwise (0) no file in
// it is read or written. A later call replaces the folder.
int OpenAssetFolder(const std::string& path);

// ---- the system font (target) -----------------------------------------------------
// The font file (and face index in it) of the bold sans-serif face that the
// launcher's and the message texts use; false when none is found.
bool SystemFontFile(std::string& file, int& index);

// ---- keyboard and window events (keys.cpp; PollWindowEvent: target) ----------------
constexpr int WINDOW_CLOSE_EVENT = 13116;
constexpr int KEY_ESCAPE = 1;  // the Escape key's classic scan code
// Takes one pending window event; returns its code (WINDOW_CLOSE_EVENT for a
// close request, another non-zero value for anything else) or 0 when none is left.
int PollWindowEvent();
// Reads the keyboard state once; KeyDown answers from that reading.
void PollKeyboard();
int KeyDown(int scanCode);

// ---- start and shutdown (target) -----------------------------------------------------
// Installs the quit signals where there are any and keeps the libraries below
// us from printing on the terminal; called first thing.
void StartPlatform();
// Non-zero once a quit signal has arrived: the loops then take the exit path.
int QuitRequested();
// Releases what the platform layer holds (windows, audio, the window system).
void ShutdownPlatform();
