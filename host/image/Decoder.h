// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>

namespace host {

// Decodes a picture from a medium in the program's decoder (vortle-decode, beside the program
// or in lib/vortle/), a process of its own that may take at most a second of processor time
// and 1 GiB of memory, and is killed after two seconds: a picture made to take hours (a
// progressive JPEG that repeats one scan thousands of times) is no picture, and the program
// pays nothing for it. Where the decoder is not installed (a copy that Setup installed), the
// picture is decoded in this process. A null image for no picture.
QImage decodeApart(const QByteArray& bytes, int side);

// The decoder's side: reads a picture file's bytes from standard input and writes the image
// to standard output (width, height, then 32-bit ARGB pixels). Returns the exit status.
int runDecoder(int side);

} // namespace host
