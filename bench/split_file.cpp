// split_file DATA_DIR: cuts DATA_DIR/breeding.txt into its buckets and the name
// index and nothing else, so the split can be timed beside cp.
#include <cstdio>
#include <filesystem>

#include "data/file_error.h"
#include "data/name_index_file.h"
#include "data/stamp.h"
#include "data/subdivide.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: split_file DATA_DIR\n");
        return 2;
    }
    const quindle::DataFolder folder(argv[1]);
    std::filesystem::create_directories(folder.bucketFolder());
    try {
        // Marked as start-up marks them, so the index and the tables of places stay
        // usable after the timing.
        const auto stamp = quindle::stampTextOf(folder.breedingFile());
        quindle::NameIndexWriter index(folder, stamp.value_or(""));
        const auto summary = quindle::subdivide(folder.breedingFile(), folder, nullptr, &index, stamp.value_or(""));
        index.commit();
        std::printf("%lld horses\n", static_cast<long long>(summary.horses));
    } catch (const quindle::FileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
