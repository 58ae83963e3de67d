#pragma once
// What the program and its decoding child say to each other over the socket between them.
//
//   program -> child   one byte, with the picture file and an empty memfd as SCM_RIGHTS
//   child -> program   Report{Memory}: the picture's size and format, checked against the limit
//   program -> child   one byte: 1 once the memfd holds that many bytes, 0 when it cannot
//   child -> program   Report{Done}: the outcome; then the child exits
//
// The child may ask for memory again when a reader made its picture elsewhere.
#include <QRgb>
#include <QtGlobal>

namespace platform::decoding {

// Where the child finds its end of the socket.
constexpr int kChildSocket = 3;

struct Report {
  enum Stage : qint32 { Memory = 1, Done = 2 };
  qint32 stage = Done;
  qint32 outcome = 0;  // Decoded::Outcome, with Done
  qint32 damage = 0;   // Damage, with Done
  qint32 format = 0;   // QImage::Format, with Memory; with Done, the same or another of its depth
  qint64 width = -1, height = -1;
  qint64 libraries = -1;  // the memory the child's libraries take, with Memory; -1: leave it unbounded
  qint32 colourCount = 0;  // the colour table of an indexed picture, with Done
  QRgb colours[256] = {};
};

}  // namespace platform::decoding
