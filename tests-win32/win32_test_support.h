// Helpers of the Win32 backend tests: loading a DLL here or in a second process.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>
#include <string>

namespace quvex::win32test {

constexpr const char* kLoadOption = "--load";
constexpr const char* kVirtualCardsOption = "--virtual-cards";
// Exit codes of "--load DLL".
constexpr DWORD kLoaded = 0;
constexpr DWORD kLoadRefused = 3;

// Loads the DLL and releases it again; returns kLoaded or kLoadRefused.
int load_and_release(const char* dll);

// "--virtual-cards": loads quvex_sim.dll, installs two virtual cards and starts and closes the
// library on them. Returns 0 when every step answered as expected, otherwise the number of the
// first step that did not. The DLL stays loaded until the process ends: its worker threads may
// still be on their way out after quvex_close.
int run_virtual_cards();

// Runs this program with the given arguments in a new process (inheriting the environment) and
// returns its exit code, or 0xFFFFFFFF when it could not be run or did not end within a minute.
DWORD run_in_other_process(const std::string& arguments);
inline DWORD load_in_other_process(const char* dll) { return run_in_other_process(std::string(kLoadOption) + " " + dll); }

// A DLL loaded into this process for one scope.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* dll) : module_(LoadLibraryA(dll)) {}
    ~LoadedLibrary() { release(); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return module_ != nullptr; }
    void release() {
        if (module_ != nullptr) FreeLibrary(module_);
        module_ = nullptr;
    }
    // The export of that name as a pointer of the declared function's type, or null.
    template <class Fn>
    Fn* function(const char* name) const {
        return module_ == nullptr ? nullptr : reinterpret_cast<Fn*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

// Sets an environment variable for this process and its children for one scope (null: unset).
// _putenv changes the C runtime's copy, which getenv reads, as well as the process's.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        _putenv((name_ + "=" + (value ? value : "")).c_str());
    }
    ~ScopedEnvironment() { _putenv((name_ + "=").c_str()); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
};

}  // namespace quvex::win32test
