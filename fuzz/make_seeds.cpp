// Writes a fuzz target's seed corpus from the project's own test inputs:
//   make_seeds OUTDIR PREFIXES FILE...
// PREFIXES is a comma-separated list of option bytes in hex put before each file's bytes (the
// engine targets read their layout from the first byte), or "-" for the files as they are.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_seeds OUTDIR PREFIXES FILE...\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path out = argv[1];
  fs::create_directories(out);
  std::vector<std::string> prefixes;
  if (std::string(argv[2]) == "-") {
    prefixes.emplace_back();
  } else {
    std::stringstream list(argv[2]);
    for (std::string item; std::getline(list, item, ',');)
      prefixes.emplace_back(1, static_cast<char>(std::strtoul(item.c_str(), nullptr, 16)));
  }
  for (int i = 3; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "make_seeds: cannot read %s\n", argv[i]);
      return 1;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string stem = fs::path(argv[i]).parent_path().filename().string() + "-" +
                             fs::path(argv[i]).filename().string();
    for (std::size_t p = 0; p < prefixes.size(); ++p) {
      std::ofstream(out / (stem + "." + std::to_string(p)), std::ios::binary)
          << prefixes[p] << bytes;
    }
  }
  return 0;
}
