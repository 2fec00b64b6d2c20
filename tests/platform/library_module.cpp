// A tiny loadable library for the library-loading tests; each build says which copy it is.
extern "C" __attribute__((visibility("default"))) int albavox_test_module_copy() { return ALBAVOX_TEST_MODULE_COPY; }
