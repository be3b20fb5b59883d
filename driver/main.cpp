// The program's entry point: the start-up around the launcher, then the main
// loop until the one exit path.
#include "driver/driver.h"
#include "platform/platform.h"

int main() {
  StartPlatform();
  StartProgram();
  RunLauncher();
  if (QuitRequested()) ExitProgram();  // a signal during the launcher opens nothing
  if (!StartShow()) ExitProgram();
  MainLoop();
}
