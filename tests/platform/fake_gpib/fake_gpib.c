/* A minimal NI-488.2 look-alike for the loader's tests. Built four ways:
   FAKE_THREAD_STATUS exports ThreadIbsta (status 0x2100) besides the global ibsta
   (0x0100); FAKE_WITHOUT_IBLOC leaves out one entry point; FAKE_NI4882 declares the
   calls as the 64-bit NI-488.2 header does (unsigned long status, size_t counts) and
   exports the accessor calls Ibsta and ThreadIbcnt instead of globals. */
#ifdef _WIN32
#define EXPORT __declspec(dllexport)
#else
#define EXPORT __attribute__((visibility("default")))
#endif

#include <stddef.h>

#ifdef FAKE_NI4882
typedef unsigned long status_t;
typedef size_t count_t;
static int ibsta = 0;
static long ibcntl = 0;
EXPORT unsigned long Ibsta(void) { return 0xABCD00000000ul | (unsigned long)ibsta; }
EXPORT unsigned long ThreadIbcnt(void) { return (unsigned long)ibcntl; }
#else
typedef int status_t;
typedef long count_t;
EXPORT int ibsta = 0;
EXPORT long ibcntl = 0;
#endif
static int last_written = 0;

EXPORT int ibfind(const char* name) {
  ibsta = 0x0100;
  return name != 0 && name[0] == 'G' ? 7 : -1;
}
EXPORT int ibdev(int board, int pad, int sad, int tmo, int eot, int eos) {
  ibsta = 0x0100;
  return 100 + board * 1000 + pad + sad + tmo + eot + eos - 13;
}
EXPORT status_t ibclr(int ud) {
  ibsta = ud > 0 ? 0x0100 : 0x8000;
  return ibsta;
}
EXPORT status_t ibwrt(int ud, const void* data, count_t count) {
  (void)ud;
  (void)data;
  last_written = (int)count;
  ibcntl = (long)count;
  ibsta = 0x0100;
  return ibsta;
}
EXPORT status_t ibrd(int ud, void* buffer, count_t count) {
  char* out = (char*)buffer;
  const char answer[] = "FAKE,GPIB\n";
  count_t n = 0;
  (void)ud;
  while (n < count && answer[n] != 0) {
    out[n] = answer[n];
    ++n;
  }
  ibcntl = (long)n;
  ibsta = 0x2100;
  return ibsta;
}
EXPORT status_t ibwait(int ud, int mask) {
  (void)ud;
  ibsta = mask & 0x0800 ? 0x0900 : 0x4100;
  return ibsta;
}
EXPORT status_t ibrsp(int ud, char* status) {
  (void)ud;
  *status = 0x50;
  ibsta = 0x0100;
  return ibsta;
}
#ifndef FAKE_WITHOUT_IBLOC
EXPORT status_t ibloc(int ud) {
  ibsta = ud > 0 ? 0x0100 : 0x8000;
  return ibsta;
}
#endif
#ifdef FAKE_THREAD_STATUS
EXPORT int ThreadIbsta(void) { return ibsta | 0x2000; }
EXPORT long ThreadIbcntl(void) { return ibcntl + 1000; }
#endif
