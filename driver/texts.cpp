// The show's two texts: the scroll text of the bottom band (12 leading and 255
// trailing blanks around the greetings, 1218 characters) and the launcher's
// greeting line (3 leading and 13 trailing blanks, 315 characters).
#include "driver/driver.h"

void InitTexts() {
  scrollText = std::u16string(12, u' ') +
      u"ZORLA-WORX PROUDLY PRESENTS ZYNTRAX, OUR FIRST BIG DEMO, RELEASED AT VELDA PARTY 5! CODE B"
      u"Y KRYPTOMAUS, GRAPHICS BY PIXELWOLF AND LUNA VEX, MUSIC BY DJ FERROFLUX. TWENTY SCENES, ON"
      u"E TRACK, NO SHADERS, JUST GOOD OLD PIXELS PUSHED AROUND THE WAY WE LIKE IT. WATCH THE STAR"
      u"S, THE PLASMA, THE COPPER BARS AND THE COW AT THE END... WE WROTE EVERY EFFECT FROM SCRATC"
      u"H DURING LONG NIGHTS FULL OF COLD PIZZA AND HOT CPUS. GREETINGS FLY OUT TO: NEON HAMSTERS,"
      u" CRTL-FREAKS, THE BYTE BAKERS, OCTOPUS TEAM, SINE SISTERS, VOXEL VIKINGS, RASTER RIDERS, B"
      u"LITTER BROS, THE FLOPPY FOLK AND ALL THE ORGANISERS OF VELDA PARTY. SPECIAL HELLO TO EVERY"
      u"ONE STILL CODING FOR FUN IN A WORLD OF BIG ENGINES: KEEP THE SCENE ALIVE! IF YOU CAN READ "
      u"THIS YOU HAVE WATCHED FOR MORE THAN TWO MINUTES, THANK YOU\u2026 NO COWS WERE HARMED DURING THE"
      u" MAKING OF THIS DEMO THOUGH ONE GOT VERY STEAMY. NOW GRAB A DRINK, TURN THE VOLUME UP AND "
      u"ENJOY THE REST OF THE SHOW. ZORLA-WORX SIGNING OFF!" +
      std::u16string(255, u' ');
  launcherText = std::u16string(3, u' ') +
      u"ZORLA-WORX welcome you to Velda Party 5 \u2014 the party\u2019s demo ZYNTRAX was coded by Kryptomaus"
      u", drawn by Pixelwolf and Luna Vex, and scored by DJ Ferroflux. Hugs go to Neon Hamsters, S"
      u"ine Sisters, Raster Riders and Blitter Bros. Pick your display mode, set the volume and pr"
      u"ess Launch to start the show!" +
      std::u16string(13, u' ');
}
