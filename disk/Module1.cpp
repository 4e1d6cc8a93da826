#include "Module1.h"

namespace Module1 {

void ReloadDiskSettings() {
    // The diskette is not read yet: the main window keeps its start-up display.
}

} // namespace Module1
