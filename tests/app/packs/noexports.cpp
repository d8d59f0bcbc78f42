// A shared library in the pack folder that exports none of the pack functions.
extern "C" __attribute__((visibility("default"))) int SomethingElse() {
    return 7;
}
