#pragma once
// Picture files decoded in a child process, the decoding program, which locks itself in before it
// reads the file: a hostile file reaches no file, socket or program of the user's, and a decoder
// that crashes costs that one load. Each child decodes one file, into memory this program makes
// (a memfd both map), so the picture is never copied.
#include <QString>

#include "platform/files/Decoded.h"

namespace platform {

// Decodes the open regular file `descriptor` (taken over and closed) in a child, waiting for it
// as long as its limits let it run. Besides the decoders' own outcomes: ChildFailed when the
// child crashed, was killed or broke off, NoDecoder when the decoding program cannot be started.
Decoded DecodeInChild(int descriptor);

// Starts a child ahead of the next load, unless one waits already: it costs the time a program
// linked to Qt takes to start, which a user choosing a file does not see. Each load starts the
// next as well.
void PrepareDecoding();

// The decoding program to start: by default `tilora-decode` beside this program (its build tree)
// or in the libexec folder of its installation.
void SetDecodingProgram(const QString& path);

}  // namespace platform
