#include "support/temp_dir.h"

#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "data/system_paths.h"

namespace quindle::testing {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() /
            ("quindle-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return utf8Path(path_ / fsPath(name)); }

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(fsPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(fsPath(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string horseLines(int id, const std::string& name, const std::string& sex, const std::string& age)
{
    const std::string n = std::to_string(id);
    const std::string horse = name.empty() ? "HORSE " + n : name;
    return n + "," + horse + "," + age + "," + sex + "\r\n" + "1,SIRE " + n + ",SIRESIRE " + n + ",SIREDAMSIRE " + n +
           ",SIRESIRESIRE " + n + "\r\n" + "2,DAMSIRE " + n + ",DAMSIRESIRE " + n + ",DAM " + n + ",DAMDAM " + n +
           "\r\n" + "3,DAMDAMSIRE " + n + ",X,Y,Z\r\n";
}

std::string breedingFile(int count)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(count) * 130);
    for (int id = 1; id <= count; ++id)
        text += horseLines(id);
    return text;
}

} // namespace quindle::testing
