// The launcher dialog. Until it is written it keeps the defaults: full screen,
// volume 80, not muted.
#include "driver/driver.h"

void RunLauncher() {
  screenWidth = DESIGN_WIDTH;
  screenHeight = DESIGN_HEIGHT;
  displayMode = 1;
  skipWindowEvents = 1;
  musicVolume = 80;
  musicMuted = 0;
}
