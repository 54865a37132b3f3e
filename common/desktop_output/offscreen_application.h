#pragma once
// Headless runs still need Qt's GUI classes for fonts and images: an
// application object on the offscreen platform, whatever the environment says.

namespace rt {

// Sets the offscreen platform and a private runtime directory when there is
// none; call before the application object is made.
void prepare_headless_environment();

// Makes sure a QGuiApplication on the offscreen platform exists; does nothing
// when an application object exists already.
void ensure_offscreen_application();

}  // namespace rt
