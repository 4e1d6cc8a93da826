// SPDX-License-Identifier: MIT
#pragma once

namespace host {

// Loads the catalogue of the desktop's language ("vortle_de.qm" for German) from
// share/vortle/translations beside the program's folder or in the system's data folders
// (XDG_DATA_DIRS), for the texts the program adds to its design. The design's own texts have no
// entry in it: they stay as they are in every language, since stored files and users rely on
// them. Needs an application object, and goes with it.
void loadTranslations();

} // namespace host
