// Helpers for the saver-run tests under Xvfb:
//
//   saverhost_tool pointer-watch FILE
//     Watches, through the X server's RECORD extension, every client's
//     requests to hide and show the pointer (XFixes) and every client's end,
//     and keeps the server's rule: the pointer is hidden while any client
//     that is still connected has hidden it more often than it showed it.
//     Appends one line per event to FILE:
//       ready                  the watch is on
//       hide CLIENT / show CLIENT / gone CLIENT
//       state hidden           the pointer became hidden
//       state shown            a client showed it again by request
//       state shown-by-exit    it came back only because its client ended
//     Runs until it is killed.
//
//   saverhost_tool tones FILE HZ...
//     Reads SDL's disk-audio file (16-bit little-endian stereo, 44100 Hz),
//     cuts it into 50 ms windows, names the clearly dominant tone among HZ in
//     each sounding window, and prints one line per run of one tone:
//       HZ START SECONDS
//     then "total BYTES". Silent windows and mixed ones end a run.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <X11/extensions/xfixeswire.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// ---- pointer-watch ----------------------------------------------------------

FILE* g_out = nullptr;
int g_xfixesMajor = 0;
std::map<XID, int> g_hideCounts;  // per client, as the server keeps them
bool g_hidden = false;

void note(const char* what, XID client = 0) {
  if (client)
    std::fprintf(g_out, "%s 0x%lx\n", what, static_cast<unsigned long>(client));
  else
    std::fprintf(g_out, "%s\n", what);
  std::fflush(g_out);
}

void updateState(const char* shownHow) {
  bool hidden = false;
  for (const auto& entry : g_hideCounts) hidden = hidden || entry.second > 0;
  if (hidden == g_hidden) return;
  g_hidden = hidden;
  note(hidden ? "state hidden" : shownHow);
}

void onRecord(XPointer, XRecordInterceptData* data) {
  if (data->category == XRecordStartOfData) {
    note("ready");
  } else if (data->category == XRecordFromClient && data->data_len > 0) {
    const unsigned char* request = data->data;
    if (request[0] == g_xfixesMajor && request[1] == X_XFixesHideCursor) {
      ++g_hideCounts[data->id_base];
      note("hide", data->id_base);
      updateState("");
    } else if (request[0] == g_xfixesMajor && request[1] == X_XFixesShowCursor) {
      // A show without a hide before it is refused by the server.
      int& count = g_hideCounts[data->id_base];
      if (count > 0) --count;
      note("show", data->id_base);
      updateState("state shown");
    }
  } else if (data->category == XRecordClientDied) {
    auto found = g_hideCounts.find(data->id_base);
    if (found != g_hideCounts.end()) {
      g_hideCounts.erase(found);
      note("gone", data->id_base);
      updateState("state shown-by-exit");
    }
  }
  XRecordFreeData(data);
}

int pointerWatch(const char* file) {
  g_out = std::fopen(file, "a");
  if (!g_out) return 2;
  Display* control = XOpenDisplay(nullptr);
  Display* data = XOpenDisplay(nullptr);
  if (!control || !data) return 3;
  int event = 0, error = 0;
  if (!XQueryExtension(control, "XFIXES", &g_xfixesMajor, &event, &error)) return 4;
  int major = 0, minor = 0;
  if (!XRecordQueryVersion(control, &major, &minor)) return 5;

  XRecordRange* range = XRecordAllocRange();
  range->ext_requests.ext_major.first = static_cast<unsigned char>(g_xfixesMajor);
  range->ext_requests.ext_major.last = static_cast<unsigned char>(g_xfixesMajor);
  range->ext_requests.ext_minor.first = X_XFixesHideCursor;
  range->ext_requests.ext_minor.last = X_XFixesShowCursor;
  range->client_died = True;
  XRecordClientSpec clients = XRecordAllClients;
  XRecordContext context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
  XFree(range);
  XSync(control, False);
  if (!context) return 6;
  // Blocks, calling onRecord, until the program is killed.
  XRecordEnableContext(data, context, onRecord, nullptr);
  return 0;
}

// ---- tones -------------------------------------------------------------------

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kWindow = 0.05;

// Power of one frequency in a block (Goertzel), about A*A/4 for a sine of
// amplitude A.
double tonePower(const float* x, int n, double frequency) {
  const double coefficient = 2.0 * std::cos(2.0 * kPi * frequency / kRate);
  double s1 = 0, s2 = 0;
  for (int i = 0; i < n; ++i) {
    const double s0 = x[i] + coefficient * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (static_cast<double>(n) * n);
}

int tones(const char* file, const std::vector<int>& candidates) {
  std::ifstream in(file, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const size_t frames = bytes.size() / 4;
  std::vector<float> mono(frames);
  for (size_t i = 0; i < frames; ++i) {
    int16_t left, right;
    std::memcpy(&left, &bytes[4 * i], 2);
    std::memcpy(&right, &bytes[4 * i + 2], 2);
    mono[i] = 0.5f * (static_cast<float>(left) + right);
  }
  const int n = static_cast<int>(kWindow * kRate);
  int runTone = 0;
  double runStart = 0, runLength = 0;
  auto endRun = [&] {
    if (runTone > 0) std::printf("%d %.2f %.2f\n", runTone, runStart, runLength);
    runTone = 0;
  };
  for (size_t at = 0; at + n <= frames; at += n) {
    const float* x = mono.data() + at;
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += static_cast<double>(x[i]) * x[i];
    const double rms = std::sqrt(sum / n);
    int tone = 0;
    if (rms > 300) {
      double best = 0, second = 0;
      for (int candidate : candidates) {
        const double power = tonePower(x, n, candidate);
        if (power > best) {
          second = best;
          best = power;
          tone = candidate;
        } else if (power > second) {
          second = power;
        }
      }
      if (!(best > 0.3 * rms * rms && best > 10 * second)) tone = -1;
    }
    const double start = static_cast<double>(at) / kRate;
    if (tone > 0 && tone == runTone) {
      runLength += kWindow;
    } else {
      endRun();
      if (tone > 0) {
        runTone = tone;
        runStart = start;
        runLength = kWindow;
      }
    }
  }
  endRun();
  std::printf("total %zu\n", bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "pointer-watch" && argc == 3) return pointerWatch(argv[2]);
  if (command == "tones" && argc >= 4) {
    std::vector<int> candidates;
    for (int i = 3; i < argc; ++i) candidates.push_back(std::atoi(argv[i]));
    return tones(argv[2], candidates);
  }
  std::fprintf(stderr, "usage: %s pointer-watch FILE | tones FILE HZ...\n", argv[0]);
  return 2;
}
