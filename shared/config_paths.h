// Where the programs' own files live beside the saved settings.
#pragma once

#include <QString>

namespace settings {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config: a relative
// value is ignored, as the base directory rules ask.
QString ConfigHome();

// The calculator's preferences (keep above, reference pitch, MIDI numbering),
// a file of their own so the saved settings keep exactly their five keys.
QString PreferencesPath();

}  // namespace settings
