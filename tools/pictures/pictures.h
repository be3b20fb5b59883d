// The picture makers: each paints one of the show's pictures at its final size.
// main.cpp knows the file names and PNG formats; the makers only paint.
#pragma once
#include "tools/pictures/canvas.h"

Canvas MakeFontSheet();
Canvas MakeCowHead();
Canvas MakeBadge();
Canvas MakeStarBurst();
Canvas MakeRingDisc();
Canvas MakeDiamond();
Canvas MakeShield();
Canvas MakeBanner(int style);
Canvas MakeRobot();
Canvas MakePlanet();
Canvas MakeTotem();
Canvas MakeRocket();
Canvas MakeRotozoomTile();
Canvas MakeTunnel();
Canvas MakeCyberCity();
Canvas MakeShip();
Canvas MakeLauncherBanner();
Canvas MakePulse(int channel);
// The application icon, size x size pixels (at most the badge's 256).
Canvas MakeIcon(int size);
