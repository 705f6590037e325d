// Runs a fuzz target without libFuzzer: fixed edge inputs, then a given number
// of pseudo-random inputs of random length, all from a fixed seed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  const long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 10000;
  std::mt19937 random(20261206);
  std::vector<uint8_t> input;

  LLVMFuzzerTestOneInput(nullptr, 0);
  for (uint8_t fill : {0x00, 0xFF, 0x7F, 0x80}) {
    input.assign(64, fill);
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  for (long run = 0; run < runs; ++run) {
    input.resize(random() % 512);
    for (auto& byte : input) byte = static_cast<uint8_t>(random());
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%ld inputs run\n", runs + 5);
  return 0;
}
