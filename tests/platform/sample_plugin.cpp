// Loaded by the dynamic library test.
extern "C" int pelikon_sample_answer() {
  return 42;
}
