// Leak reports the platform tests leave to the libraries they use: fontconfig
// keeps the patterns Qt's font database asks it for until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
