// A shared library with all pack exports whose name export gives nothing.
extern "C" __attribute__((visibility("default"))) const char *GetLangName() {
    return nullptr;
}
extern "C" __attribute__((visibility("default"))) int GetLangID() {
    return 0x409;
}
extern "C" __attribute__((visibility("default"))) const char *GetLangString(int) {
    return nullptr;
}
