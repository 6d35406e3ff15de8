#include "pe_file.h"
#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

PeFile::PeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes_.size() < sizeof(IMAGE_DOS_HEADER)) {
        return;
    }
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > bytes_.size()) {
        return;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes_.data() + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
        return;
    }
    nt_ = nt;
}

std::vector<std::string> PeFile::SectionNames() const {
    std::vector<std::string> names;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
        const char* name = reinterpret_cast<const char*>(section->Name);
        names.emplace_back(name, strnlen(name, IMAGE_SIZEOF_SHORT_NAME));
    }
    return names;
}

const BYTE* PeFile::AtRva(DWORD rva) const {
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt_);
    for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section) {
        const DWORD offset = rva - section->VirtualAddress;
        if (rva >= section->VirtualAddress && offset < section->SizeOfRawData &&
            section->PointerToRawData + offset < bytes_.size()) {
            return bytes_.data() + section->PointerToRawData + offset;
        }
    }
    return nullptr;
}

const char* PeFile::TextAtRva(DWORD rva) const {
    const char* text = reinterpret_cast<const char*>(AtRva(rva));
    return text != nullptr ? text : "";
}

std::map<std::string, std::vector<std::string>> PeFile::Imports() const {
    std::map<std::string, std::vector<std::string>> imports;
    const IMAGE_DATA_DIRECTORY& directory =
        nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
        directory.VirtualAddress != 0 ? AtRva(directory.VirtualAddress) : nullptr);
    for (; entry != nullptr && entry->Name != 0; ++entry) {
        std::string module = TextAtRva(entry->Name);
        std::transform(module.begin(), module.end(), module.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        std::vector<std::string>& functions = imports[module];
        // The lookup table keeps the names; the address table may be bound.
        const DWORD table =
            entry->OriginalFirstThunk != 0 ? entry->OriginalFirstThunk : entry->FirstThunk;
        const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(AtRva(table));
        for (; thunk != nullptr && thunk->u1.AddressOfData != 0; ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL32(thunk->u1.Ordinal)) {
                functions.push_back("#" + std::to_string(IMAGE_ORDINAL32(thunk->u1.Ordinal)));
            } else {
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(AtRva(thunk->u1.AddressOfData));
                functions.push_back(byName != nullptr ? byName->Name : "");
            }
        }
    }
    return imports;
}
