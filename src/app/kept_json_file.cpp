#include "app/kept_json_file.h"

#include <filesystem>
#include <vector>

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/replacing_file.h"
#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

std::string damagedAsidePath(const std::string& path)
{
    std::string aside = path + ".damaged";
    std::error_code ec;
    for (int n = 2; fs::exists(fsPath(aside), ec); ++n)
        aside = path + ".damaged-" + std::to_string(n);
    return aside;
}

std::optional<FileLock> lockForReading(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_directory(fsPath(path).parent_path(), ec))
        return std::nullopt;
    try {
        return std::optional<FileLock>(std::in_place, path);
    } catch (const FileError&) {
        return std::nullopt; // read all the same: a change says why it cannot lock
    }
}

KeptJsonFile::KeptJsonFile(std::string what, std::size_t largest, Take take)
    : what_(std::move(what)), largest_(largest), take_(std::move(take))
{
}

KeptJsonFile::Opened KeptJsonFile::open(std::string path)
{
    path_ = std::move(path);
    if (path_.empty()) {
        keptAside_.clear();
        writable_ = false;
        seen_.reset();
        take_(nullptr);
        return {};
    }
    const auto lock = lockForReading(path_);
    return load();
}

KeptJsonFile::Opened KeptJsonFile::load()
{
    keptAside_.clear();
    writable_ = true;
    seen_.reset();
    std::string text;
    std::string why;
    std::error_code ec;
    const bool there = fs::exists(fsPath(path_), ec) || ec;
    if (there) {
        try {
            const std::vector<char> bytes = readWholeFile(path_, 0, largest_);
            text.assign(bytes.data(), bytes.size());
        } catch (const FileError& e) {
            // It may be whole (no access, say): it stays where it is, for the next run.
            take_(nullptr);
            writable_ = false;
            return {Outcome::Failed, what_ + " could not be read.\n\n" + e.what() +
                                         "\n\nSo that nothing of it is lost, it is left as it is, and changes are "
                                         "not saved in this run."};
        }
        why = take_(&text);
    } else {
        take_(nullptr);
    }
    if (!there)
        return {};
    if (why.empty()) {
        seen_ = std::move(text);
        return {};
    }
    // Never written over: the file goes aside whole, and the rest starts empty beside it.
    take_(nullptr);
    const std::string aside = damagedAsidePath(path_);
    fs::rename(fsPath(path_), fsPath(aside), ec);
    if (ec) {
        writable_ = false;
        return {Outcome::Failed, what_ + " could not be read.\n\n" + why +
                                     "\n\nIt could not be moved aside either, so it is left as it is, and changes "
                                     "are not saved in this run."};
    }
    keptAside_ = aside;
    return {Outcome::Failed, what_ + " could not be read.\n\n" + why +
                                 "\n\nThe file is kept as it was under the name\n" + aside + "\nand it starts empty."};
}

std::optional<KeptJsonFile::Opened> KeptJsonFile::catchUp()
{
    if (!writable_ || path_.empty())
        return std::nullopt;
    const auto lock = lockForReading(path_);
    return reread();
}

std::optional<KeptJsonFile::Opened> KeptJsonFile::reread()
{
    // Compared byte for byte first: an unchanged file is not parsed again.
    std::optional<std::string> now;
    try {
        std::error_code ec;
        if (fs::exists(fsPath(path_), ec) || ec) {
            const std::vector<char> bytes = readWholeFile(path_, 0, largest_);
            now.emplace(bytes.data(), bytes.size());
        }
    } catch (const FileError&) {
        return load(); // says why it cannot be read
    }
    if (now == seen_)
        return std::nullopt;
    return load();
}

std::string KeptJsonFile::savedNot(const std::string& why) const { return what_ + " could not be saved.\n\n" + why; }

KeptJsonFile::Written KeptJsonFile::change(const std::function<std::optional<std::string>()>& edit)
{
    if (path_.empty())
        return {Outcome::Failed, savedNot("There is no folder to keep it in (no home folder).")};
    if (!writable_)
        return {Outcome::Failed, savedNot(path_ + " could not be read, and it is not written over.")};
    try {
        std::error_code ec;
        fs::create_directories(fsPath(path_).parent_path(), ec);
        const FileLock lock(path_);
        // What another window or a script wrote since is the file now.
        std::string note;
        if (const auto again = reread(); again && again->status == Outcome::Failed)
            note = again->message;
        if (!writable_)
            return {Outcome::Failed,
                    note + "\n\n" + savedNot(path_ + " could not be read, and it is not written over.")};
        const std::optional<std::string> text = edit();
        if (!text)
            return {Outcome::Absent, note};
        ReplacingFile file(path_);
        file.write(text->data(), text->size());
        file.commit();
        seen_ = *text;
        return {Outcome::Done, note};
    } catch (const FileError& e) {
        return {Outcome::Failed, savedNot(e.what())};
    }
}

} // namespace quindle
