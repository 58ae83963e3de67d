// A stand-in for the decoding program: takes the files, asks for the memory of a 64 x 48
// picture, and is killed before it says how the decoding went, at the same step every time.
#include <QImage>
#include <csignal>

#include "platform/files/DecodingChannel.h"

using namespace platform::decoding;

int main() {
  int file = -1, memory = -1;
  if (!ReceiveFiles(kChildSocket, &file, &memory)) return 0;
  Report ask;
  ask.stage = Report::Memory;
  ask.format = QImage::Format_RGB32;
  ask.width = 64;
  ask.height = 48;
  bool made = false;
  if (SendReport(kChildSocket, ask)) ReceiveAnswer(kChildSocket, &made);
  raise(SIGKILL);
}
