// Tests and benchmarks live in their own folders of the build tree: each is given the decoding
// program built beside the program.
#include "platform/files/DecodingChild.h"

namespace {
const bool kDecoderGiven = [] {
  platform::SetDecodingProgram(QStringLiteral(TILORA_DECODER));
  return true;
}();
}  // namespace
