#pragma once
// The socket between the program and its decoding child: whole messages each way, and the two
// descriptors the child decodes from and into.
#include "platform/files/DecodingProtocol.h"

namespace platform::decoding {

// The program's side. Each gives up at once when the child is gone.
bool SendFiles(int socket, int file, int memory);
bool SendAnswer(int socket, bool memoryMade);
// Waits for the child's next report; false when it ended the socket, broke a report off, or
// said nothing for `timeoutMs` milliseconds.
bool ReceiveReport(int socket, Report* report, int timeoutMs);

// The child's side.
bool ReceiveFiles(int socket, int* file, int* memory);
bool SendReport(int socket, const Report& report);
bool ReceiveAnswer(int socket, bool* memoryMade);

}  // namespace platform::decoding
