// A PE image file read from disk, the way the Windows loader reads its tables,
// without loading it: nothing of the module runs.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

class PeFile {
  public:
    explicit PeFile(const std::string& path);

    // False when the file could not be read or is no 32-bit PE image.
    bool valid() const { return nt_ != nullptr; }
    size_t size() const { return bytes_.size(); }
    const IMAGE_FILE_HEADER& fileHeader() const { return nt_->FileHeader; }
    std::vector<std::string> SectionNames() const;

    // Imported functions by module name (lower case); an import by ordinal
    // reads "#<ordinal>".
    std::map<std::string, std::vector<std::string>> Imports() const;

  private:
    // The file bytes at a relative virtual address; nullptr outside every section.
    const BYTE* AtRva(DWORD rva) const;
    const char* TextAtRva(DWORD rva) const;

    std::vector<BYTE> bytes_;
    const IMAGE_NT_HEADERS32* nt_ = nullptr;
};
