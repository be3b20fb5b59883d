// GTK's one start for the launcher window and the message boxes.
#pragma once

// Starts GTK on the display once; false when no display can be opened. A
// display that is named but does not answer at once (seen on a busy X server)
// is tried again for about half a second.
bool GtkStart();
