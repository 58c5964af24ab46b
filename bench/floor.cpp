// The least work the job needs, for the benchmark to measure fieldroll
// against: list the two scenery trees, open every file whose name holds
// ".bgl", read its header, and for a facility file read the rest into
// memory and count the airports along its record chain. Writes nothing
// but the counts.
//
// usage: floor DATABASE-TREE ADDON-TREE (real paths)
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

long count_airports(const std::vector<unsigned char>& file) {
    long airports = 0;
    std::uint64_t record = le32(file.data() + 0xA4);
    while (record + 16 <= file.size() && le32(&file[record]) == 1) {
        const std::uint64_t next = record + 8 + le32(&file[record + 4]);
        if (le32(&file[record + 8]) == 1) {
            bool ident = false;
            bool position = false;
            for (std::uint64_t sub = record + 16; sub + 8 <= file.size() && le32(&file[sub]) != 0;) {
                ident = ident || le32(&file[sub]) == 0x00010006;
                position = position || le32(&file[sub]) == 0x00010001;
                if (ident && position) {
                    ++airports;
                    break;
                }
                sub += 8 + le32(&file[sub + 4]);
            }
        }
        if (next <= record) break;
        record = next;
    }
    return airports;
}

}  // namespace

int main(int argc, char** argv) {
    long facility_files = 0;
    long airports = 0;
    std::vector<unsigned char> file;
    for (int tree = 1; tree < argc; ++tree) {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(argv[tree], error);
             it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (error) break;
            if (it->is_directory()) continue;
            std::string name = it->path().filename().string();
            for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            if (name.find(".bgl") == std::string::npos) continue;
            std::FILE* stream = std::fopen(it->path().c_str(), "rb");
            if (stream == nullptr) continue;
            file.resize(168);
            const bool header = std::fread(file.data(), 1, 168, stream) == 168 && file[0] == 1 && file[1] == 0 &&
                                le32(&file[0x76]) == 0x87654321 && le32(&file[0x90]) == 1 &&
                                le32(&file[0x9C]) != 0 && le32(&file[0xA4]) != 0;
            if (header) {
                std::array<unsigned char, 65536> chunk;
                for (std::size_t got; (got = std::fread(chunk.data(), 1, chunk.size(), stream)) > 0;) {
                    file.insert(file.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
                }
                ++facility_files;
                airports += count_airports(file);
            }
            std::fclose(stream);
        }
    }
    std::printf("Facility Files %ld, Airports %ld\n", facility_files, airports);
    return 0;
}
