// A library that looks like a component but exports no entry point.
extern "C" __attribute__((visibility("default"))) int kv_not_an_entry_point() {
    return 42;
}
