#include "win32_test_support.h"

#include "quvex/quvex.h"
#include "quvex/sim.h"

namespace quvex::win32test {

int load_and_release(const char* dll) {
    HMODULE m = LoadLibraryA(dll);
    if (m == nullptr) return static_cast<int>(kLoadRefused);
    FreeLibrary(m);
    return static_cast<int>(kLoaded);
}

int run_virtual_cards() {
    HMODULE m = LoadLibraryA("quvex_sim.dll");
    if (m == nullptr) return 1;
    const auto get = [m](const char* name) { return reinterpret_cast<void*>(GetProcAddress(m, name)); };
    auto* reset = reinterpret_cast<decltype(quvex_sim_reset)*>(get("quvex_sim_reset"));
    auto* add_card = reinterpret_cast<decltype(quvex_sim_add_card)*>(get("quvex_sim_add_card"));
    auto* initial = reinterpret_cast<decltype(quvex_initial)*>(get("quvex_initial"));
    auto* card_status = reinterpret_cast<decltype(quvex_get_card_status)*>(get("quvex_get_card_status"));
    auto* close = reinterpret_cast<decltype(quvex_close)*>(get("quvex_close"));
    if (!reset || !add_card || !initial || !card_status || !close) return 2;
    reset();
    if (add_card(0) != 0 || add_card(1) != 0) return 3;
    std::int16_t count = 0;
    if (initial(&count) != QUVEX_OK) return 4;
    if (count != 2) return 5;
    std::uint16_t status = 0;
    if (card_status(1, &status) != QUVEX_OK) return 6;
    if (card_status(2, &status) != QUVEX_ERR_CARD_NUMBER) return 7;
    if (close() != QUVEX_OK) return 8;
    return 0;
}

DWORD run_in_other_process(const std::string& arguments) {
    constexpr DWORD kNoResult = 0xFFFFFFFFu;
    char self[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return kNoResult;
    std::string command = std::string("\"") + self + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return kNoResult;
    }
    DWORD code = kNoResult;
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace quvex::win32test
