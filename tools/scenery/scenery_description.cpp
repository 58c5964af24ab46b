#include "scenery/scenery_description.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "scenery/scenery_writer.h"

namespace scenery {
namespace {

struct PendingFacility {
    std::string path;
    Bytes records;
    HeaderFields header;
    bool chain_end = true;
    std::optional<std::size_t> truncate_at;
};

void finish(std::optional<PendingFacility>& pending, const std::string& root) {
    if (!pending) return;
    Bytes bytes = facility_header(pending->header);
    bytes.insert(bytes.end(), pending->records.begin(), pending->records.end());
    if (pending->chain_end) add_chain_end(bytes);
    if (pending->truncate_at && *pending->truncate_at < bytes.size()) bytes.resize(*pending->truncate_at);
    write_file(root + "/" + pending->path, bytes);
    pending.reset();
}

std::uint64_t number(std::istringstream& words) {
    std::string word;
    if (!(words >> word)) throw std::runtime_error("a number is missing");
    return std::stoull(word, nullptr, 0);
}

double real(std::istringstream& words) {
    std::string word;
    if (!(words >> word)) throw std::runtime_error("a number is missing");
    return std::stod(word);
}

std::string word(std::istringstream& words) {
    std::string text;
    if (!(words >> text)) throw std::runtime_error("a word is missing");
    return text;
}

// A path: in double quotes when it holds spaces, or, where it is the last
// thing on the line, the rest of the line.
std::string path_word(std::istringstream& words, bool rest_of_line) {
    words >> std::ws;
    std::string path;
    if (words.peek() == '"') {
        words.get();
        std::getline(words, path, '"');
    } else if (rest_of_line) {
        std::getline(words, path);
        while (!path.empty() && (path.back() == ' ' || path.back() == '\t' || path.back() == '\r')) path.pop_back();
    } else {
        words >> path;
    }
    if (path.empty()) throw std::runtime_error("a path is missing");
    return path;
}

Airport airport(std::istringstream& words) {
    Airport result;
    result.ident = word(words);
    result.latitude = real(words);
    result.longitude = real(words);
    result.elevation = real(words);
    return result;
}

void facility_statement(PendingFacility& facility, const std::string& verb, std::istringstream& words) {
    Bytes& records = facility.records;
    if (verb == "airport" || verb == "airport-position-first") {
        add_airport(records, airport(words), verb != "airport");
    } else if (verb == "ident-only") {
        add_airport_record(records, {identifier_subrecord(word(words))});
    } else if (verb == "position-only") {
        const double latitude = real(words);
        const double longitude = real(words);
        add_airport_record(records, {position_subrecord(latitude, longitude, real(words))});
    } else if (verb == "record") {
        const auto type = static_cast<std::uint32_t>(number(words));
        add_record(records, type, Bytes(number(words), 0x33));
    } else if (verb == "loop-record") {
        // A length of 2^32 - 8 brings the next offset back to this record.
        const std::size_t at = add_record(records, 2, {});
        put_u32(records, at + 4, 0xFFFFFFF8u);
    } else if (verb == "loop-subrecord") {
        Subrecord looping = other_subrecord(0x00010099, 0);
        looping.has_length = true;
        looping.length = 0xFFFFFFF8u;
        add_airport_record(records, {identifier_subrecord(word(words)), looping});
    } else if (verb == "header") {
        const std::string field = word(words);
        const std::uint64_t value = number(words);
        HeaderFields& header = facility.header;
        if (field == "format") {
            header.format = static_cast<std::uint16_t>(value);
        } else if (field == "signature") {
            header.signature = static_cast<std::uint32_t>(value);
        } else if (field == "marker") {
            header.section_marker = static_cast<std::uint32_t>(value);
        } else if (field == "required") {
            header.required = static_cast<std::uint32_t>(value);
        } else if (field == "first") {
            header.first_record_offset = static_cast<std::uint32_t>(value);
        } else {
            throw std::runtime_error("unknown header field " + field);
        }
    } else if (verb == "no-end") {
        facility.chain_end = false;
    } else if (verb == "truncate") {
        facility.truncate_at = number(words);
    } else {
        throw std::runtime_error("unknown statement " + verb);
    }
}

}  // namespace

void build_from_description(const std::string& description, const std::string& root) {
    std::istringstream lines(description);
    std::string line;
    std::optional<PendingFacility> pending;
    int line_number = 0;
    while (std::getline(lines, line)) {
        ++line_number;
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string verb;
        if (!(words >> verb)) continue;
        try {
            if (verb == "hostile") {
                finish(pending, root);
                const std::string folder = root + "/" + path_word(words, true);
                for (const auto& [name, bytes] : hostile_files()) write_file(folder + "/" + name, bytes);
                // Folders named like facility files are entered, not read.
                std::filesystem::create_directories(folder + "/folder.bgl");
                write_file(folder + "/folder.bgl/inside.bgl", facility_file({{"INSD", 7, 7, 7}}));
            } else if (verb == "facility" || verb == "file" || verb == "dir" || verb == "link") {
                finish(pending, root);
                const std::string path = path_word(words, verb == "facility" || verb == "dir");
                if (verb == "facility") {
                    pending = PendingFacility{path, {}, {}, true, std::nullopt};
                } else if (verb == "file") {
                    const std::size_t size = number(words);
                    std::uint64_t seed = line_number;
                    if (words >> std::ws && !words.eof()) seed = number(words);
                    write_file(root + "/" + path, noise(size, static_cast<std::uint32_t>(seed)));
                } else if (verb == "dir") {
                    std::filesystem::create_directories(root + "/" + path);
                } else {
                    const std::filesystem::path link(root + "/" + path);
                    std::filesystem::create_directories(link.parent_path());
                    std::filesystem::create_directory_symlink(path_word(words, true), link);
                }
            } else if (pending) {
                facility_statement(*pending, verb, words);
            } else {
                throw std::runtime_error(verb + " outside a facility file");
            }
        } catch (const std::exception& error) {
            throw std::runtime_error("line " + std::to_string(line_number) + ": " + error.what());
        }
    }
    finish(pending, root);
}

}  // namespace scenery
