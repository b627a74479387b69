#include "parameter/config_file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/temp_folder.h"
#include "texts/text_sets.h"

namespace zelk20 {
namespace {

namespace fs = std::filesystem;

// The maker's defaults as the file documents them, written out by hand.
const std::string defaults_file = "KORVA_ZELK20\r\nCC,CC,CC,C8,C8,C8;\r\n03,03,18,02;\r\nAE0DFDD12F249\r\n";

ConfigFileRead read(const std::string& text) { return read_config_file(std::span(text.data(), text.size())); }

std::vector<std::size_t> bytes_of(const ConfigFileRead& r) {
    std::vector<std::size_t> bytes;
    for (const ConfigField& f : r.fields) bytes.push_back(f.byte);
    return bytes;
}

const std::vector<std::size_t> all_ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
const std::vector<std::size_t> only_masks = {6, 7, 8, 9};
const std::vector<std::size_t> none = {};

std::string file(const std::string& header, const std::string& thresholds, const std::string& masks,
                 const std::string& trailer, const std::string& end = "\r\n") {
    return header + end + thresholds + end + masks + end + trailer + end;
}

TEST(ConfigFile, WriterGivesTheDocumentedSixtyThreeBytes) {
    EXPECT_EQ(write_config_file(maker_defaults), defaults_file);
    EXPECT_EQ(write_config_file(maker_defaults).size(), config_file_size);
    EXPECT_EQ(write_config_file({0xFA, 0x0A, 0x00, 0xD2, 0xFF, 0x10, 0xBF, 0x03, 0x80, 0x02}),
              "KORVA_ZELK20\r\nFA,0A,00,D2,FF,10;\r\nBF,03,80,02;\r\nAE0DFDD12F249\r\n");
}

TEST(ConfigFile, RoundTrip) {
    const ParameterSet sets[] = {maker_defaults,
                                 {0xC8, 0xFA, 0xE1, 0x0A, 0xD2, 0x64, 0xBF, 0x03, 0xBF, 0x02},
                                 {0xFA, 0xFA, 0xFA, 0xD2, 0xD2, 0xD2, 0x00, 0x00, 0x00, 0x00}};
    for (const ParameterSet& set : sets) {
        const ConfigFileRead r = read(write_config_file(set));
        EXPECT_EQ(r.code, FileCheck::correct);
        ASSERT_EQ(bytes_of(r), all_ten);
        for (const ConfigField& f : r.fields) EXPECT_EQ(f.value, set[f.byte]) << f.byte;
    }
}

TEST(ConfigFile, CheckCodes) {
    struct Case {
        const char* name;
        std::string text;
        int code;
        std::vector<std::size_t> applied;
    };
    const std::string h = "KORVA_ZELK20", t = "CC,CC,CC,C8,C8,C8;", m = "03,03,18,02;", e = "AE0DFDD12F249";
    const std::vector<Case> cases = {
        {"correct", defaults_file, 0, all_ten},
        {"LF only", file(h, t, m, e, "\n"), 0, all_ten},
        {"no line end after the trailer", h + "\r\n" + t + "\r\n" + m + "\r\n" + e, 0, all_ten},
        {"lower-case digits", file(h, "cc,cc,cc,c8,c8,c8;", m, e), 0, all_ten},
        {"more than four lines", defaults_file + "a fifth line\r\nand a sixth\r\n", 0, all_ten},
        {"CR inside a line is dropped", file(h, "CC,CC,\rCC,C8,C8,C8;", m, e), 0, all_ten},
        {"1A ends the file", file(h, t, m, e) + "\x1A" + "junk", 0, all_ten},
        {"1A before the trailer", h + "\r\n" + t + "\r\n" + m + "\r\n\x1A" + e + "\r\n", 7, none},
        {"code 1: comma for the last semicolon", file(h, "CC,CC,CC,C8,C8,C8,", m, e), 1, {0, 1, 2, 3, 4, 6, 7, 8, 9}},
        {"code 1: semicolon inside", file(h, "CC;CC,CC,C8,C8,C8;", m, e), 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"code 2: threshold line of 17", file(h, "CC,CC,CC,C8,C8,C8", m, e), 2, only_masks},
        {"code 2 hidden by code 5", file(h, "CC,CC,CC,C8,C8,C8", "03,03,18,02", e), 5, none},
        {"code 3: separator after mask field 1", file(h, t, "03;03,18,02;", e), 3, {0, 1, 2, 3, 4, 5, 7, 8, 9}},
        {"code 3: separator after mask field 2", file(h, t, "03,03;18,02;", e), 3, {0, 1, 2, 3, 4, 5, 6, 8, 9}},
        {"code 4: separator after mask field 3", file(h, t, "03,03,18;02;", e), 4, {0, 1, 2, 3, 4, 5, 6, 7, 9}},
        {"code 4 hides code 3", file(h, t, "03;03,18,02,", e), 4, {0, 1, 2, 3, 4, 5, 7, 8}},
        {"code 4 hides code 1", file(h, "CC,CC,CC,C8,C8,C8,", "03,03,18,02,", e), 4, {0, 1, 2, 3, 4, 6, 7, 8}},
        {"code 5: mask line of 13", file(h, t, "03,03,18,02;;", e), 5, {0, 1, 2, 3, 4, 5}},
        {"code 6: header text", file("KORVA_ZELK21", t, m, e), 6, none},
        {"code 6: trailer case", file(h, t, m, "ae0dfdd12f249"), 6, none},
        {"code 7: empty file", "", 7, none},
        {"code 7: blank after the header", file(h + " ", t, m, e), 7, none},
        {"code 7: byte-order mark", "\xEF\xBB\xBF" + defaults_file, 7, none},
        {"code 7: three lines", h + "\r\n" + t + "\r\n" + m + "\r\n", 7, none},
        {"code 7: huge first line", std::string(100000, 'K') + "\r\n" + t + "\r\n" + m + "\r\n" + e, 7, none},
    };
    for (const auto& c : cases) {
        const ConfigFileRead r = read(c.text);
        EXPECT_EQ(code_number(r.code), c.code) << c.name;
        EXPECT_EQ(bytes_of(r), c.applied) << c.name;
        EXPECT_FALSE(r.malformed_field) << c.name;
    }
}

TEST(ConfigFile, NonHexadecimalFieldStopsTheReadingThere) {
    const ConfigFileRead r = read(file("KORVA_ZELK20", "CC,CC,XY,C8,C8,C8;", "03,03,18,02;", "AE0DFDD12F249"));
    ASSERT_TRUE(r.malformed_field);
    EXPECT_EQ(conversion_error_text(*r.malformed_field), "'$XY' ist kein gültiger Integerwert.");
    EXPECT_EQ(bytes_of(r), (std::vector<std::size_t>{0, 1}));

    const ConfigFileRead in_masks = read(file("KORVA_ZELK20", "CC,CC,CC,C8,C8,C8;", "03,0G,18,02;", "AE0DFDD12F249"));
    ASSERT_TRUE(in_masks.malformed_field);
    EXPECT_EQ(conversion_error_text(*in_masks.malformed_field), "'$0G' ist kein gültiger Integerwert.");
    EXPECT_EQ(bytes_of(in_masks), (std::vector<std::size_t>{0, 1, 2, 3, 4, 5, 6}));

    // A field whose separator is wrong is skipped before its digits are looked at.
    const ConfigFileRead skipped = read(file("KORVA_ZELK20", "CC,CC,XY;C8,C8,C8;", "03,03,18,02;", "AE0DFDD12F249"));
    EXPECT_FALSE(skipped.malformed_field);
    EXPECT_EQ(skipped.code, FileCheck::threshold_separator);
}

// The two characters of a malformed field appear as they are in the file,
// one Latin-1 character per byte, and nothing ends the message early.
TEST(ConfigFile, MalformedFieldIsShownByteForByte) {
    struct Case {
        const char* name;
        std::string field;
        std::string shown;  // UTF-8
    };
    const Case cases[] = {
        {"47 31", "G1", "'$G1' ist kein gültiger Integerwert."},
        {"C4 31: an A umlaut in Latin-1", "\xC4\x31", "'$Ä1' ist kein gültiger Integerwert."},
        {"00 31: NUL first", std::string("\0" "1", 2), "'$␀1' ist kein gültiger Integerwert."},
        {"31 00: NUL second", std::string("1\0", 2), "'$1␀' ist kein gültiger Integerwert."},
        {"FF FF", "\xFF\xFF", "'$ÿÿ' ist kein gültiger Integerwert."},
        {"1B 7F: escape and delete", "\x1B\x7F", "'$␛␡' ist kein gültiger Integerwert."},
        {"9B 41: a C1 control", "\x9B" "A", "'$\uFFFDA' ist kein gültiger Integerwert."},
    };
    for (const Case& c : cases) {
        const ConfigFileRead r = read(file("KORVA_ZELK20", "CC," + c.field + ",CC,C8,C8,C8;", "03,03,18,02;", "AE0DFDD12F249"));
        ASSERT_TRUE(r.malformed_field) << c.name;
        EXPECT_EQ(conversion_error_text(*r.malformed_field), c.shown) << c.name;
        EXPECT_EQ(bytes_of(r), (std::vector<std::size_t>{0})) << c.name;
    }
}

using SavedFile = test::TempFolderTest;

TEST_F(SavedFile, SaveReplacesWholeAndLeavesNoTemporaryBehind) {
    const fs::path path = folder / "zelk20.txt";
    std::ofstream(path) << std::string(5000, 'x');
    ASSERT_TRUE(save_file_safely(path, defaults_file));
    EXPECT_EQ(read_file_start(path), defaults_file);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(SavedFile, SaveThatCannotWriteReportsFailureAndKeepsTheOldFile) {
    EXPECT_FALSE(save_file_safely(folder / "no-such-folder" / "zelk20.txt", defaults_file));
    const fs::path path = folder / "kept.txt";
    std::ofstream(path) << defaults_file;
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);  // the folder is read-only
    const bool saved = save_file_safely(path, "something else");
    fs::permissions(folder, fs::perms::owner_all);
    if (::geteuid() != 0) {
        EXPECT_FALSE(saved);  // root may write anyway
    }
    if (!saved) {
        EXPECT_EQ(read_file_start(path), defaults_file);
    }
}

TEST_F(SavedFile, ReadingStopsAtTheLimit) {
    const fs::path path = folder / "big.txt";
    std::ofstream(path) << defaults_file << std::string(200000, 'z');
    EXPECT_EQ(read_file_start(path).size(), config_file_read_limit);
    EXPECT_EQ(read_config_file(read_file_start(path)).code, FileCheck::correct);
    EXPECT_TRUE(read_file_start(folder / "absent.txt").empty());
}

}  // namespace
}  // namespace zelk20
