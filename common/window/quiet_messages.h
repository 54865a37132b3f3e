#pragma once
// Qt messages that report no fault and leave the user nothing to do. Without
// a sound server (a school computer without speakers, a shell under Xvfb)
// Qt's PulseAudio support warns on every sound that it could not connect,
// although the programs are meant to stay silent then. That warning has no
// logging category of its own, so a filter rule would silence every
// uncategorised warning with it; instead exactly this text is dropped, and
// every other message goes on to the handler installed before.

// Installs the filter in front of the current message handler.
void quiet_harmless_messages();
