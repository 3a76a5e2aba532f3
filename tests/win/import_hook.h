// Swaps one entry of this program's import table for a test's own function while the holder
// lives, so that a test can count, record or steer the program's calls into Windows. One
// hook per function type at a time: the replacement reaches the real function through the
// type's `original`.
#pragma once

#include <windows.h>

template <typename Function> class ImportHook {
  public:
    ImportHook(const wchar_t* module, const char* name, Function replacement) {
        // The loader resolved forwarded exports, so the table holds what GetProcAddress gives.
        const FARPROC real = GetProcAddress(GetModuleHandleW(module), name);
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        auto* imports = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
            base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
        for (; real && !slot_ && imports->Name != 0; ++imports) {
            for (auto* t = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imports->FirstThunk);
                 t->u1.Function != 0 && !slot_; ++t) {
                if (t->u1.Function == reinterpret_cast<ULONG_PTR>(real)) {
                    slot_ = &t->u1.Function;
                }
            }
        }
        if (slot_) {
            original = reinterpret_cast<Function>(*slot_);
            write(reinterpret_cast<ULONG_PTR>(replacement));
        }
    }
    ~ImportHook() {
        if (slot_) {
            write(reinterpret_cast<ULONG_PTR>(original));
        }
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool installed() const { return slot_ != nullptr; }

    // The function the table held before; the replacement calls it to pass a call on.
    static inline Function original = nullptr;

  private:
    void write(ULONG_PTR value) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }
    ULONG_PTR* slot_ = nullptr;
};
