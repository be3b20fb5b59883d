# The unit tests that are also built for Windows and run under Wine: the
# render, effects and decoder tests (read by both the Windows build and the
# test tree that runs them). The tests that compare with sox's reading are left
# out there: sox is a Linux program.
set(ZYNTRAX_WINDOWS_UNIT_TESTS
  test_draw test_image test_system_text test_sprites
  test_avalanche test_black_hole test_block_scenes test_copper_bars test_finale test_floating_billboards
  test_kick_rings test_sprite_rain test_starfield test_twisters test_wave_bars test_billboard_scenes
  test_audio_decode test_loader_inputs)
set(ZYNTRAX_WINDOWS_TEST_FILTER "-*SoxReads*")
