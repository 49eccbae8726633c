#pragma once
// Where Quindle's files live. The folder's internal names are fixed; only the
// folder itself can be moved (it defaults to C:\PDG\ on Windows and to ~/pdg
// elsewhere). Paths are kept exactly as they are opened, for messages.
#include <string>

namespace quindle {

class DataFolder {
public:
    // `dir` may end in a separator or not.
    explicit DataFolder(std::string dir);
    // The platform's default folder.
    static DataFolder platformDefault();

    const std::string& dir() const { return dir_; } // ends in a separator
    std::string chefTable() const { return dir_ + "ChefTable"; }
    std::string sireList() const { return dir_ + "QN_SireList"; }
    std::string breedingFile() const { return dir_ + "breeding.txt"; }
    std::string bucketFolder() const { return dir_ + "QNsubBtxt"; }
    std::string bucketFile(int bucket) const;
    // Beside each bucket, where in it each identifier's first horse starts.
    std::string placeTable(int bucket) const { return bucketFile(bucket) + ".places"; }
    // The bucket folder's stamp: which breeding file its buckets were cut from.
    std::string bucketStamp() const;
    // The name index the split writes beside the buckets: every horse's name,
    // and its identifier, age, sex, Sire and Dam-Sire.
    std::string nameIndex() const;
    std::string horseIndex() const;

private:
    std::string dir_;
};

// The stamp file: a bare name, so it lives in the current working folder.
inline constexpr const char* kStampFileName = "Quindle.nnn";

} // namespace quindle
