// Placeholder until this scene is written: it draws nothing yet.
#include "effects/effects.h"
#include "driver/driver.h"

void InitGlitchText() {}
void DrawGlitchWord(const std::u16string&, int64_t) {}
