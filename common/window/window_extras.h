#pragma once
// The projector colours are remembered for the next start, in the user's
// settings of both programs alike: the projector is the room's, not the
// program's. A save waits only briefly for the lock beside the settings
// file: a choice it keeps back stays the program's and is saved with the
// next one, or when the window goes.

namespace rt {

bool remembered_projector_colours();
void remember_projector_colours(bool on);
void save_kept_settings();

}  // namespace rt
