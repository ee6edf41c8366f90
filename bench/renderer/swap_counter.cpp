// LD_PRELOAD library that counts glXSwapBuffers and eglSwapBuffers calls
// without changing what they do (one per output and frame under EGL). The count is a 64-bit integer at the start of the file named by
// MIRAVEL_SWAP_COUNT_FILE (mapped shared, so a script can read it while the
// program runs, e.g. with `od -An -t u8 FILE`).
#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

using SwapFn = void (*)(Display*, GLXDrawable);

std::uint64_t g_localCount = 0;
std::uint64_t* g_count = &g_localCount;

__attribute__((constructor)) void mapCounter() {
  const char* path = std::getenv("MIRAVEL_SWAP_COUNT_FILE");
  if (!path) return;
  int fd = open(path, O_RDWR);
  if (fd < 0) return;
  if (ftruncate(fd, sizeof(std::uint64_t)) == 0) {
    void* p = mmap(nullptr, sizeof(std::uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (p != MAP_FAILED) g_count = static_cast<std::uint64_t*>(p);
  }
  close(fd);
}

}  // namespace

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
  static SwapFn real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
  if (real) real(display, drawable);
  __atomic_add_fetch(g_count, 1, __ATOMIC_RELAXED);
}

// EGL's types spelled out, so the counter builds without EGL's headers.
extern "C" unsigned int eglSwapBuffers(void* display, void* surface) {
  using EglSwapFn = unsigned int (*)(void*, void*);
  static EglSwapFn real = reinterpret_cast<EglSwapFn>(dlsym(RTLD_NEXT, "eglSwapBuffers"));
  const unsigned int result = real ? real(display, surface) : 0;
  __atomic_add_fetch(g_count, 1, __ATOMIC_RELAXED);
  return result;
}
