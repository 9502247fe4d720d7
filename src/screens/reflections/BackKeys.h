#pragma once

class BasicVC;

// Esc and Alt+Left take the teacher back one screen, as the bar's back button does. Active while
// the focus is inside the screen, so an overlay over it (a dialog, the picture browser) keeps Esc
// for itself.
void installBackKeys(BasicVC *screen);
