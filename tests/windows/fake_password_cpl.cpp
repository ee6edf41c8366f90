// A stand-in for the Windows 9x password library, PASSWORD.CPL, for the
// tests: VerifyScreenSavePwd refuses the first request of a test and allows
// every later one. Each call appends a line to the file named by
// MIRAVEL_PASSWORD_LOG: "call N running R", R being what the system says of
// SPI_GETSCREENSAVERRUNNING during the call.
#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("MIRAVEL_PASSWORD_LOG", path, sizeof path)) return TRUE;
  int calls = 0;
  if (FILE* in = std::fopen(path, "rb")) {
    for (int c; (c = std::fgetc(in)) != EOF;) calls += c == '\n';
    std::fclose(in);
  }
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  if (FILE* out = std::fopen(path, "ab")) {
    std::fprintf(out, "call %d running %d window %d\n", calls + 1, running ? 1 : 0,
                 IsWindow(window) ? 1 : 0);
    std::fclose(out);
  }
  return calls == 0 ? FALSE : TRUE;
}
