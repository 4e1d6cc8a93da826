// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Creates a directory and every missing level above it, from the drive root down; every
// failure is swallowed, so an existing directory is no error. Expects a path that begins
// with a three-character drive root such as "a:\". Shared by the utility and the installer.
void Mk_Dir(const QString& bez1);
