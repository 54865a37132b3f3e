#pragma once
// The projector colours are remembered for the next start, in the user's
// settings of both programs alike: the projector is the room's, not the
// program's.

namespace rt {

bool remembered_projector_colours();
void remember_projector_colours(bool on);

}  // namespace rt
