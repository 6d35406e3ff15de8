#include "bench/pe_imports.h"
#include <windows.h>
#include <cstdio>
#include <vector>

namespace {
// The file offset of relative address `rva`, or 0 when no section holds it.
DWORD FileOffset(const IMAGE_NT_HEADERS32* nt, DWORD rva) {
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const DWORD size =
            section->Misc.VirtualSize != 0 ? section->Misc.VirtualSize : section->SizeOfRawData;
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size) {
            return rva - section->VirtualAddress + section->PointerToRawData;
        }
    }
    return 0;
}
} // namespace

ModuleImports ReadImports(const std::string& path) {
    ModuleImports imports;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return imports;
    }
    std::vector<unsigned char> bytes;
    unsigned char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    imports.fileSize = static_cast<long>(bytes.size());
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) {
        return imports;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > bytes.size()) {
        return imports;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    const DWORD directory = FileOffset(
        nt, nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    if (directory == 0) {
        return imports;
    }
    for (DWORD at = directory; at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
         at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(&bytes[at]);
        if (descriptor->Name == 0) {
            break;
        }
        ++imports.modules;
        const DWORD names = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                                : descriptor->FirstThunk;
        for (DWORD thunk = FileOffset(nt, names);
             thunk != 0 && thunk + 4 <= bytes.size() &&
             *reinterpret_cast<const DWORD*>(&bytes[thunk]) != 0;
             thunk += 4) {
            ++imports.functions;
        }
    }
    imports.read = true;
    return imports;
}
