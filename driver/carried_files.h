// The files the program carries, one row each in extraction order: the one list
// that the build (cmake/AssetPack.cmake reads the symbols and names), the asset
// pack, the show's loader and the picture generator (tools/pictures) expand.
// Include it with both row macros defined; it undefines them.
//   CARRIED_MUSIC(symbol, file name, load order)
//   CARRIED_PICTURE(symbol, file name, load order, use, number, PNG format, maker)
// load order: the show loads its files in this order, once start-up has opened
//   the display; 0 for a file the show does not load.
// use: FONT (the bitmap font), SPRITE_PLAIN, SPRITE_ALPHA (kept alpha) or
//   SPRITE_SIZED (kept alpha, and its size cached once loaded) into sprite
//   `number` (sprites 1 to 5 are the header pictures), PICTURE (an in-memory
//   picture `number`), LAUNCHER (the launcher's picture, which the launcher
//   loads itself), or KEPT (only written out: cyber_bg.png would go into
//   sprite 27 only to be replaced by billboard6.png a moment later, so it is
//   not loaded).
// PNG format and maker: how tools/pictures writes and paints the picture.
#ifndef CARRIED_MUSIC
#error "define CARRIED_MUSIC and CARRIED_PICTURE before including driver/carried_files.h"
#endif
CARRIED_MUSIC(music_ogg, "music.ogg", 5)
CARRIED_PICTURE(police20_png, "police20.png", 1, FONT, 0, RGBA, MakeFontSheet())
CARRIED_PICTURE(billboard_png, "billboard.png", 6, SPRITE_SIZED, 20, PALETTE, MakeBadge())
CARRIED_PICTURE(rotozoom_png, "Rotozoom.png", 18, PICTURE, ROTOZOOM_PICTURE, RGB, MakeRotozoomTile())
CARRIED_PICTURE(billboard2_png, "billboard2.png", 7, SPRITE_SIZED, 21, PALETTE, MakeCowHead())
CARRIED_PICTURE(haut1_png, "haut1.png", 17, SPRITE_PLAIN, 1, RGBA, MakeBanner(1))
CARRIED_PICTURE(haut2_png, "haut2.png", 17, SPRITE_PLAIN, 2, RGB, MakeBanner(2))
CARRIED_PICTURE(haut3_png, "haut3.png", 17, SPRITE_PLAIN, 3, RGB, MakeBanner(3))
CARRIED_PICTURE(haut4_png, "haut4.png", 17, SPRITE_PLAIN, 4, RGB, MakeBanner(4))
CARRIED_PICTURE(haut5_png, "haut5.png", 17, SPRITE_PLAIN, 5, RGBA, MakeBanner(5))
CARRIED_PICTURE(sideimage_png, "sideimage.png", 19, SPRITE_ALPHA, 22, RGBA, MakePlanet())
CARRIED_PICTURE(launcher_png, "launcher.png", 0, LAUNCHER, 0, RGB, MakeLauncherBanner())
CARRIED_PICTURE(billboard3_png, "billboard3.png", 8, SPRITE_SIZED, 23, PALETTE, MakeStarBurst())
CARRIED_PICTURE(billboard4_png, "billboard4.png", 10, SPRITE_ALPHA, 25, PALETTE, MakeRingDisc())
CARRIED_PICTURE(starfield_image_png, "starfield_image.png", 9, SPRITE_ALPHA, 24, RGBA, MakeRobot())
CARRIED_PICTURE(center_billboard_png, "center_billboard.png", 2, SPRITE_ALPHA, 34, RGBA, MakeTotem())
CARRIED_PICTURE(cyber_bg_png, "cyber_bg.png", 0, KEPT, 0, RGBA, MakeCyberCity())
CARRIED_PICTURE(ship_png, "ship.png", 3, SPRITE_ALPHA, 28, RGBA, MakeShip())
CARRIED_PICTURE(tunnel_bg_png, "tunnel_bg.png", 4, SPRITE_PLAIN, 29, RGB, MakeTunnel())
CARRIED_PICTURE(pulse_r_png, "pulse_r.png", 14, SPRITE_SIZED, 30, PALETTE, MakePulse(0))
CARRIED_PICTURE(pulse_g_png, "pulse_g.png", 15, SPRITE_SIZED, 31, RGB, MakePulse(1))
CARRIED_PICTURE(pulse_b_png, "pulse_b.png", 16, SPRITE_SIZED, 32, RGB, MakePulse(2))
CARRIED_PICTURE(twister_image_png, "twister_image.png", 13, SPRITE_ALPHA, 33, RGBA, MakeRocket())
CARRIED_PICTURE(billboard5_png, "billboard5.png", 11, SPRITE_ALPHA, 26, PALETTE, MakeDiamond())
CARRIED_PICTURE(billboard6_png, "billboard6.png", 12, SPRITE_ALPHA, 27, PALETTE, MakeShield())
#undef CARRIED_MUSIC
#undef CARRIED_PICTURE
