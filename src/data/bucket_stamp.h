#pragma once
// The bucket folder's stamp (QNsubBtxt/Quindle.nnn), written only after a split
// that finished and reached the disk: the breeding file's stamp text and a comma,
// as every stamp, then the record of the split, one item a line:
//   breeding DEVICE:INODE   which file was cut (a bucket folder two data folders
//                           share through a symlink holds the other's horses)
//   file0 SIZE ... file9 SIZE, index.names SIZE, index.horses SIZE
// A bucket whose size differs from its record was emptied or cut short since (a
// power cut, a disk that filled up) and is never read as if it were whole.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/data_folder.h"
#include "data/records.h"

namespace quindle {

// Which file a path names now, as text ("device:inode"; the volume and file
// index on Windows); nullopt when it cannot be told.
std::optional<std::string> fileIdentityOf(const std::string& path);

struct BucketRecord {
    std::string stampText;
    std::string breedingIdentity;
    std::array<std::int64_t, kBucketCount> bucketSizes{};
    std::int64_t nameIndexSize = -1, horseIndexSize = -1;
};

// The record, or nullopt when the stamp is missing, unreadable, or of a version
// without one (such buckets are cut again once).
std::optional<BucketRecord> readBucketRecord(const DataFolder& folder);

// Removes the stamp if there is one, before a split: buckets it no longer vouches
// for are cut again whatever stops the split. Throws FileError when it stays.
void removeBucketStamp(const DataFolder& folder);

// Flushes every bucket, the name index and the folder to the disk, then writes
// the stamp of `stampText` with their record. Throws FileError.
void stampBuckets(const DataFolder& folder, const std::string& stampText);

// What the bucket folder's stamp says, read once before a cut.
struct BucketState {
    // A stamp is there, of whatever breeding file: the buckets were cut before.
    bool stamped = false;
    // It is of `stampText` and of this data folder's breeding file, and every
    // file is there with its recorded size: no split is needed.
    bool current = false;
};
// Throws FileError when the stamp is there but not a regular file.
BucketState readBucketState(const DataFolder& folder, const std::string& stampText);

} // namespace quindle
