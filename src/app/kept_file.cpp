#include "app/kept_file.h"

#include <filesystem>
#include <vector>

#include "data/file_error.h"
#include "data/file_lock.h"
#include "data/input_file.h"
#include "data/replacing_file.h"
#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

// The first of FILE.damaged, FILE.damaged-2, ... that is free.
std::string asidePath(const std::string& path)
{
    std::string aside = path + ".damaged";
    std::error_code ec;
    for (int n = 2; fs::exists(fsPath(aside), ec); ++n)
        aside = path + ".damaged-" + std::to_string(n);
    return aside;
}

bool moveAside(const std::string& path, const std::string& aside)
{
    std::error_code ec;
    fs::rename(fsPath(path), fsPath(aside), ec);
    return !ec;
}

// The file's lock for a read, when its folder is there to hold the lock file
// (without the folder there is no file to read). On Windows a file read while
// another Quindle replaces it cannot be opened, so reads take the lock too.
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

} // namespace

KeptFile::KeptFile(Words words, std::size_t largest, Parse parse, Clear clear)
    : words_(std::move(words)), largest_(largest), parse_(std::move(parse)), clear_(std::move(clear))
{
}

std::string KeptFile::savedNot(const std::string& why) const { return words_.title + " could not be saved.\n\n" + why; }

KeptOpen KeptFile::open(std::string path)
{
    path_ = std::move(path);
    if (path_.empty()) {
        keptAside_.clear();
        writable_ = false;
        clear_();
        seen_.reset();
        return {};
    }
    const auto lock = lockForReading(path_);
    return load();
}

KeptOpen KeptFile::load()
{
    keptAside_.clear();
    writable_ = true;
    clear_();
    seen_.reset();
    std::error_code ec;
    if (!fs::exists(fsPath(path_), ec) && !ec)
        return {};
    std::string text;
    try {
        const std::vector<char> bytes = readWholeFile(path_, 0, largest_);
        text.assign(bytes.data(), bytes.size());
    } catch (const FileError& e) {
        // A file that could not be opened may be whole; one too large is damaged.
        return takeDamaged(e.what(), e.kind() != FileError::Kind::Content);
    }
    if (std::string error = parse_(text); !error.empty()) {
        clear_();
        return takeDamaged(error, false);
    }
    seen_ = std::move(text);
    return {};
}

KeptOpen KeptFile::takeDamaged(const std::string& error, bool unread)
{
    // What the player kept is never written over: the file goes aside whole,
    // and it starts again empty beside it. A file that could not be read at
    // all (no access, say) may be whole: it stays where it is, for the next run.
    const std::string unreadText = words_.title + " could not be read.\n\n";
    const std::string aside = asidePath(path_);
    if (!unread && moveAside(path_, aside)) {
        keptAside_ = aside;
        return {Outcome::Failed, unreadText + error + "\n\nThe file is kept as it was under the name\n" + aside +
                                     "\nand " + words_.it + " starts empty."};
    }
    writable_ = false;
    return {Outcome::Failed,
            unreadText + error + "\n\n" +
                (unread ? "So that nothing of it is lost," : "It could not be moved aside either, so") +
                " it is left as it is, and changes to " + words_.it + " are not saved in this run."};
}

std::optional<KeptOpen> KeptFile::catchUp()
{
    if (!writable_ || path_.empty())
        return std::nullopt;
    const auto lock = lockForReading(path_);
    return reread();
}

std::optional<KeptOpen> KeptFile::reread()
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

KeptChange KeptFile::change(const std::function<std::optional<std::string>()>& edit)
{
    using Status = KeptChange::Status;
    if (path_.empty())
        return {Status::Failed, savedNot("There is no folder to keep it in (no home folder).")};
    if (!writable_)
        return {Status::Failed, savedNot(path_ + " could not be read, and it is not written over.")};
    try {
        std::error_code ec;
        fs::create_directories(fsPath(path_).parent_path(), ec);
        const FileLock lock(path_);
        // What another window or a script wrote since is the file now.
        std::string note;
        if (const auto again = reread(); again && again->status == Outcome::Failed)
            note = again->message;
        if (!writable_)
            return {Status::Failed,
                    note + "\n\n" + savedNot(path_ + " could not be read, and it is not written over.")};
        const std::optional<std::string> text = edit();
        if (!text)
            return {Status::Declined, {}};
        ReplacingFile file(path_);
        file.write(text->data(), text->size());
        file.commit();
        seen_ = *text;
        return {Status::Written, note};
    } catch (const FileError& e) {
        return {Status::Failed, savedNot(e.what())};
    }
}

} // namespace quindle
