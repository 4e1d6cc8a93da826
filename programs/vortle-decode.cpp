// SPDX-License-Identifier: MIT
// The program's picture decoder: a picture from a medium is decoded here, in a process with
// limits of its own, never in the program's windows.
#include "host/image/Decoder.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv); // the image formats are plug-ins
    const int side = argc > 1 ? QByteArray(argv[1]).toInt() : 32;
    return host::runDecoder(side > 0 && side <= 256 ? side : 32);
}
