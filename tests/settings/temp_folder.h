#pragma once

#include <string>
#include <vector>

// A fresh folder under $TMPDIR (or /tmp) for one test, removed with all its
// contents at the end. Path() ends with '/'.
class CTempFolder
{
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::vector<unsigned char> ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes);
// The names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);
