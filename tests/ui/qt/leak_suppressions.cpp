// Leaks of the system's fontconfig library, which Qt's font matching calls
// and which frees some of its state only at a FcFini() that Qt never calls,
// are not ours: the leak checker of the sanitizer builds is told to pass
// over them. The hook's name is the one the sanitizer runtime looks for.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __lsan_default_suppressions() {  // NOLINT(bugprone-reserved-identifier)
  return "leak:libfontconfig.so\n";
}
#endif
