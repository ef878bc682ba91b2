// Download packages that lack entry points: one with the comparison alone
// (which always asks for a new file), one with none of them.
#ifdef VX_FAKE_COMPARE
extern "C" __attribute__((visibility("default"))) int CompareFileToDown(const char*, const char*) {
  return 1;
}
#else
extern "C" __attribute__((visibility("default"))) int NotAnEntryPoint() {
  return 0;
}
#endif
