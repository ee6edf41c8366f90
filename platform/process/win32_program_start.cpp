#include "platform/process/win32_program_start.h"

#include <windows.h>

#include <string>

#include "platform/text/win32_cp932.h"

namespace platform {

WindowsProgram startWindowsProgram(const std::string& path,
                                   const std::function<bool(unsigned long)>& ready,
                                   double timeoutSeconds) {
  WindowsProgram result;
  const std::wstring program = wideFromAnsi(path);
  if (program.empty()) return result;
  // CreateProcess may write into the command line it is given.
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &info))
    return result;
  CloseHandle(info.hThread);
  result.processId = info.dwProcessId;
  result.process = info.hProcess;
  // The started program may take the foreground from us.
  AllowSetForegroundWindow(info.dwProcessId);

  const ULONGLONG limit = GetTickCount64() + static_cast<ULONGLONG>(timeoutSeconds * 1000);
  for (;;) {
    if (ready && ready(info.dwProcessId)) {
      result.outcome = WindowsStartOutcome::Ready;
      return result;
    }
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
      result.outcome = WindowsStartOutcome::Ended;
      return result;
    }
    if (GetTickCount64() >= limit) {
      result.outcome = WindowsStartOutcome::TimedOut;
      return result;
    }
    // Messages other programs send to our windows are answered meanwhile
    // (a starting program may wait for that); posted ones, the timers among
    // them, stay queued for the loop.
    if (MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 10, QS_SENDMESSAGE) ==
        WAIT_OBJECT_0 + 1) {
      MSG message;
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
  }
}

bool windowsProgramHasEnded(void* process) {
  return !process || WaitForSingleObject(static_cast<HANDLE>(process), 0) == WAIT_OBJECT_0;
}

}  // namespace platform
