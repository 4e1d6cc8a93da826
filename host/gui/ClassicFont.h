// SPDX-License-Identifier: MIT
#pragma once

class QFont;

namespace host {

// The forms are laid out for the platform's 8.25-point "MS Sans Serif". Where it is missing,
// a sans-serif face of the same metrics (Arial's, as Liberation Sans has them) keeps every
// caption inside its control.
QFont classicFont();

// Makes the classic font the application's default.
void useClassicFont();

} // namespace host
