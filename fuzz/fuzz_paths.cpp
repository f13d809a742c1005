// The files the exports that take a path get: prepared once in a private folder, so a fuzzed
// call can never write or read anything else.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz_args.h"
#include "fuzz_installation.h"

namespace quvex_fuzz {
namespace {

std::string g_folder;
std::string g_paths[6];

void write_file(const std::string& path, const std::string& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

void prepare() {
    char folder[] = "/tmp/quvex-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    g_folder = folder;
    g_paths[0] = g_folder + "/stop.log";
    g_paths[1] = g_folder + "/short.cfg";
    write_file(g_paths[1], std::string("\x01\x02\x03", 3));
    g_paths[2] = g_folder + "/noise.cfg";
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise.push_back(static_cast<char>((i * 167 + 13) & 0xFF));
    write_file(g_paths[2], noise);
    g_paths[3] = g_folder + "/motion.ini";
    write_file(g_paths[3], "[Signal]\nPulseOutMode=0102\n[Speed]\nStartSpeed=x\n");
    g_paths[4] = g_folder + "/missing/none.cfg";
    g_paths[5] = "";
}

}  // namespace

void remove_prepared_files() {
    if (g_folder.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

const char* pick_path(FuzzedDataProvider& in) {
    if (g_folder.empty()) prepare();
    const unsigned pick = in.ConsumeIntegralInRange<unsigned>(0, 6);
    return pick == 6 ? nullptr : g_paths[pick].c_str();
}

}  // namespace quvex_fuzz
