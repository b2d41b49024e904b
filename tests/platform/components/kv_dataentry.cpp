// A library whose entry point symbol names data, not a function: calling it would crash.
extern "C" __attribute__((visibility("default")))
const unsigned char ucm_instantiate[16] = {0xff, 0xff, 0xff, 0xff};
