// Fuzzes the configuration file reader. Half of the inputs are put between a
// right header and trailer line, so that the fuzzer works on the two data lines.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "parameter/config_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    if ((data[0] & 1) != 0) {
        file = std::string(zelk20::config_header) + "\r\n" + file + "\r\n" + std::string(zelk20::config_trailer) + "\r\n";
    }
    const zelk20::ConfigFileRead read = zelk20::read_config_file(file);
    FUZZ_CHECK(code_number(read.code) >= 0 && code_number(read.code) <= 7);
    FUZZ_CHECK(read.fields.size() <= 10);
    std::size_t last = 0;
    for (std::size_t k = 0; k < read.fields.size(); ++k) {
        FUZZ_CHECK(read.fields[k].byte < 10);
        FUZZ_CHECK(k == 0 || read.fields[k].byte > last);  // in file order, each once
        last = read.fields[k].byte;
    }
    if (code_number(read.code) >= 6) FUZZ_CHECK(read.fields.empty());
    if (read.code == zelk20::FileCheck::correct && !read.malformed_field) {
        FUZZ_CHECK(read.fields.size() == 10);
        // A correct file written back gives the same fields.
        zelk20::ParameterSet set{};
        for (const auto& field : read.fields) set[field.byte] = field.value;
        const zelk20::ConfigFileRead again = zelk20::read_config_file(zelk20::write_config_file(set));
        FUZZ_CHECK(again.code == zelk20::FileCheck::correct && again.fields.size() == 10);
    }
    if (read.malformed_field) {
        auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
        FUZZ_CHECK(!hex((*read.malformed_field)[0]) || !hex((*read.malformed_field)[1]));
    }
    return 0;
}
