#pragma once
// A fresh folder per test, removed afterwards, and small file helpers.
#include <filesystem>
#include <string>

namespace quindle::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The UTF-8 path of `name` inside the folder.
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);

// The four CR LF lines of one horse, in the breeding file's layout, with
// lineage names derived from the identifier unless given.
std::string horseLines(int id, const std::string& name = "", const std::string& sex = "Colt",
                       const std::string& age = "4");
// Horses 1..count, each by horseLines.
std::string breedingFile(int count);

} // namespace quindle::testing
