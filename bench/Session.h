#pragma once
// The editor the benchmarks drive. One frame at a time: a benchmark that needs a fresh one
// closes the last, and main closes whatever is left while the application still exists.
#include <QString>

class MDIForm1;

namespace bench {

// The current frame, started (canvas plus source window 1) when there is none.
MDIForm1& Editor();
// Closes the current frame and starts a new one from a zeroed editor state.
MDIForm1& FreshEditor();
void CloseEditor();

// Every file dialog answers the path while this lives, as a user choosing that file.
class DialogAnswer {
 public:
  explicit DialogAnswer(const QString& path);
  ~DialogAnswer();
};

// TILORA_BENCH_QUICK=1: every benchmark runs once or briefly, and pictures stop at
// 8192 x 8192. Read before main, so that registrations can depend on it.
bool Quick();

}  // namespace bench
