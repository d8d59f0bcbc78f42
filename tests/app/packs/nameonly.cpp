// A shared library with the name export of a pack but nothing else.
extern "C" __attribute__((visibility("default"))) const char *GetLangName() {
    return "Halfway";
}
