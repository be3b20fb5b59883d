// Our stand-in for the operating system: clock, sleep, random numbers, files,
// message boxes, keyboard state and window events. Everything Linux-specific
// that the rest of the program needs goes through these few functions.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

// ---- time -------------------------------------------------------------------
// Milliseconds since the first call in the process (monotonic clock).
int64_t ElapsedMs();
// Sleeps for ms milliseconds.
void Delay(int64_t ms);
// The driven clock: from this call on, ElapsedMs returns ms (and nothing else
// moves it) until UseRealClock. The capture tool plays the show on it, one
// frame time after another, so a frame never depends on how long painting took.
void DriveClock(int64_t ms);
// Back to the monotonic clock.
void UseRealClock();
// Starts the clock again from 0 (a driven clock is set to 0).
void RestartClock();
// While held, the real clock stands still; released, it goes on from where it
// stood, moved on by catchUpMs (what an outside clock ran meanwhile).
void HoldClock();
void ReleaseClock(int64_t catchUpMs);

// ---- random numbers -----------------------------------------------------------
// Uniform integer in 0..max inclusive; per-thread state, seeded from the thread
// and the clock on first use. max <= 0 gives 0.
int64_t RandomInt(int64_t max);
// Seeds the calling thread's generator, so that what follows repeats exactly
// from run to run (the capture tool's --seed).
void SeedRandom(uint64_t seed);

// Truncation towards zero; infinities and NaN give 0.
int64_t TruncToInt(double x);

// ---- message boxes ----------------------------------------------------------
// Modal box with an OK button; returns when it is closed. Without a display it
// writes the message to standard error instead.
void MessageBox(const std::string& title, const std::string& text);

// ---- files --------------------------------------------------------------------
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

// ---- the system font ------------------------------------------------------------
// The font file (and face index in it) of the bold sans-serif face that the
// launcher's and the message texts use; false when none is found.
bool SystemFontFile(std::string& file, int& index);

// ---- keyboard and window events ---------------------------------------------------
constexpr int WINDOW_CLOSE_EVENT = 13116;
constexpr int KEY_ESCAPE = 1;  // the Escape key's classic scan code
// Takes one pending window event; returns its code (WINDOW_CLOSE_EVENT for a
// close request, another non-zero value for anything else) or 0 when none is left.
int PollWindowEvent();
// Reads the keyboard state once; KeyDown answers from that reading.
void PollKeyboard();
int KeyDown(int scanCode);

// ---- start and shutdown ------------------------------------------------------------
// Installs the quit signals (SIGINT, SIGTERM, SIGHUP) and keeps the libraries
// below us from printing on the terminal; called first thing.
void StartPlatform();
// Non-zero once a quit signal has arrived: the loops then take the exit path.
int QuitRequested();
// Releases what the platform layer holds (windows, audio, SDL itself).
void ShutdownPlatform();

// ---- test-only hooks (never used by the program itself) ----------------------------
// Drives ElapsedMs: from now on it returns ms until TestUseRealClock.
void TestSetClock(int64_t ms);
void TestAdvanceClock(int64_t ms);
void TestUseRealClock();
// Seeds the calling thread's RandomInt generator.
void TestSeedRandom(uint64_t seed);
// The calling thread's next RandomInt calls return these values (each clamped to
// 0..max) before the generator takes over again.
void TestQueueRandom(std::initializer_list<int64_t> values);
// Message boxes are recorded here instead of shown while capture is on.
void TestCaptureMessages(bool on);
const std::string& TestCapturedMessages();  // "title|text\n" per box
void TestClearMessages();
// Makes the next PollKeyboard report Escape as held.
void TestPressEscape(bool down);
