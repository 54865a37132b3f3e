#pragma once
// Qt wants a per-user runtime directory (XDG_RUNTIME_DIR) and complains on
// every start when there is none, as in a plain shell, under Xvfb or in CI.
// A desktop session always has one; elsewhere a private one does the job.

namespace rt {

// Sets XDG_RUNTIME_DIR to a private directory (ours, mode 0700) when it is
// unset or empty; leaves a set one alone. The usual name under TMPDIR (or
// /tmp) when that directory is private to us, otherwise a fresh one. Call
// before the application object is made.
void ensure_runtime_directory();

}  // namespace rt
