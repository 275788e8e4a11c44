// kestrum_mm_check: the tables it prints come from the plug-in's own reading of the file;
// every kind of text the plug-in passes over is named with its line; files that cannot
// be loaded give a clear message and a non-zero status; the file is never changed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "config_check.h"

namespace fs = std::filesystem;
using kestrum_check::RunConfigCheck;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

struct CheckRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Lines of the report's "Warnings:" section.
std::vector<std::string> WarningLines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(report.substr(report.find("\nWarnings: ")));
    std::string line;
    std::getline(in, line);  // the empty rest of the line before "Warnings:"
    std::getline(in, line);  // "Warnings: N"
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

class CheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "kestrum-check-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    fs::path Ini() const { return dir_ / "kestrum_mm.ini"; }

    CheckRun Check(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        CheckRun run;
        run.status = RunConfigCheck(args, out, err);
        run.out = out.str();
        run.err = err.str();
        return run;
    }

    // Checks the INI file and asserts that it is as it was and no working copy is left.
    CheckRun CheckIni(const std::string& gameDir) {
        const std::string before = ReadBytes(Ini());
        CheckRun run = Check({Ini().string(), "--gamedir", gameDir});
        EXPECT_EQ(ReadBytes(Ini()), before);
        EXPECT_FALSE(fs::exists(dir_ / "kestrum_mm.in~"));
        return run;
    }

    fs::path dir_;
};

// The shipped sample: which heading applies and the rows of the tables it fills.
struct SampleCase {
    std::string gameDir;
    std::string baseLine;
    std::vector<std::string> rows;  // every table row, in order
};

void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.gameDir; }

class SampleTest : public CheckTest, public ::testing::WithParamInterface<SampleCase> {};

std::vector<std::string> TableRows(const std::string& report) {
    std::vector<std::string> rows;
    const std::size_t header = report.find("  weapon  primary  secondary\n");
    std::istringstream in(report.substr(header));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && line.rfind("  A push", 0) != 0) rows.push_back(line);
    return rows;
}

TEST_P(SampleTest, PrintsHeadingSwitchesAndTables) {
    const SampleCase& c = GetParam();
    fs::copy_file(KESTRUM_SAMPLE_INI, Ini());
    const CheckRun run = CheckIni(c.gameDir);
    ASSERT_EQ(run.status, kestrum_check::kLoaded) << run.err;
    EXPECT_NE(run.out.find(c.baseLine), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  AmmoIdIsFlag        off\n  AllWeaponsClipless  off\n"), std::string::npos);
    EXPECT_EQ(TableRows(run.out), c.rows) << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Sample, SampleTest,
    ::testing::Values(
        SampleCase{"Valve", "Base heading:   [standard(valve,gearbox,etc)] found\n",
                   {"       2       15          -", "       3       60          -",
                    "       4       10        150", "       6       40          -",
                    "       7       35          -", "       8      200          -",
                    "       9        8          -", "      10        2          -",
                    "      11        3          -"}},
        SampleCase{"cstrike", "Base heading:   [cstrike] found\n",
                   {"       1       20          -", "       3       90          -",
                    "       5       45          -", "       7        8          -",
                    "       8       12          -", "      10       18          -",
                    "      11       18          -", "      12        9          -",
                    "      13       45          -", "      14       12          -",
                    "      15       12          -", "      16       22          -",
                    "      17       15          -", "      18      150          -",
                    "      19        8          -", "      20       14          -",
                    "      21       60          -", "      22       12          -",
                    "      23        7          -", "      24       50          -",
                    "      26       45          -", "      27       13          -",
                    "      28       15          -", "      30        7          -"}},
        SampleCase{"tfc", "Base heading:   [tfc] missing\n", {"  (none: no weapon kicks)"}}));

// Files seeded with what the plug-in passes over: each warning is expected at its line,
// and nothing else is warned about. The tables show what the plug-in really uses.
struct Expected {
    int line;  // 0: about the whole file
    std::string text;
};

struct SeededCase {
    std::string name;
    std::string gameDir;
    std::string ini;
    std::vector<Expected> warnings;
    std::vector<std::string> rows;
    std::string switches;
};

void PrintTo(const SeededCase& c, std::ostream* os) { *os << c.name; }

class SeededTest : public CheckTest, public ::testing::WithParamInterface<SeededCase> {};

TEST_P(SeededTest, NamesEveryIgnoredText) {
    const SeededCase& c = GetParam();
    WriteBytes(Ini(), c.ini);
    const CheckRun run = CheckIni(c.gameDir);
    ASSERT_EQ(run.status, kestrum_check::kLoaded) << run.err;
    const std::vector<std::string> lines = WarningLines(run.out);
    EXPECT_EQ(lines.size(), c.warnings.size()) << run.out;
    for (const Expected& expected : c.warnings) {
        const std::string prefix = expected.line > 0 ? "  line " + std::to_string(expected.line) + ": " : "  ";
        bool found = false;
        for (const std::string& line : lines) {
            found = found || (line.rfind(prefix, 0) == 0 && line.find(expected.text) != std::string::npos);
        }
        EXPECT_TRUE(found) << "no warning \"" << prefix << "..." << expected.text << "\" in\n" << run.out;
    }
    EXPECT_EQ(TableRows(run.out), c.rows) << run.out;
    EXPECT_NE(run.out.find(c.switches), std::string::npos) << run.out;
}

const char kStd[] = "standard(valve,gearbox,etc)";

INSTANTIATE_TEST_SUITE_P(
    Seeded, SeededTest,
    ::testing::Values(
        SeededCase{
            "TableKeysValuesAndHeadings", "valve",
            std::string("; seeded\n"                                       // 1
                        "AmmoIdIsFlag=1\n"                                 // 2
                        "[Standard(valve,gearbox,etc)]\n"                  // 3
                        "[") + kStd + "-AMMO1]\n"                          // 4
                "1=5\n"                                                    // 5
                "07=5\n"                                                   // 6
                "64=5\n"                                                   // 7
                "100=5\n"                                                  // 8
                "2=0\n"                                                    // 9
                "3=-4\n"                                                   // 10
                "4=2.5\n"                                                  // 11
                "5=0.5\n"                                                  // 12
                "6=lots\n"                                                 // 13
                "8=\n"                                                     // 14
                "9=12 x\n"                                                 // 15
                " [" + kStd + "-AMMO2]\n"                                  // 16
                "10=7\n"                                                   // 17
                "[broken\n"                                                // 18
                "[a=b]\n"                                                  // 19
                "[]\n"                                                     // 20
                "11=3\n"                                                   // 21
                "[valve-AMMO2]\n"                                          // 22
                "[" + kStd + "-ammo2]\n"                                   // 23
                "[" + kStd + "-AMMO2] 4=9\n"                               // 24
                "4=150\r\n",                                               // 25
            {{0, "base heading [standard(valve,gearbox,etc)] is missing"},
             {2, "keys outside any heading are not read: AmmoIdIsFlag, 11"},
             {3, "[Standard(valve,gearbox,etc)] differs from [standard(valve,gearbox,etc)] only in letter case"},
             {6, "key 07 under [standard(valve,gearbox,etc)-AMMO1] is not read: weapon ids are written without leading zeros (7)"},
             {7, "key 64 under [standard(valve,gearbox,etc)-AMMO1] is not read: weapon ids go from 0 to 63"},
             {8, "key 100 under"},
             {9, "weapon 2: primary multiplier 0 gives no kick"},
             {10, "weapon 3: primary multiplier -4 is negative: no kick"},
             {11, "weapon 4: primary multiplier 2.5 is not a whole number: it counts as 2"},
             {12, "weapon 5: primary multiplier 0.5 is not a whole number: it counts as 0, no kick"},
             {13, "weapon 6: primary multiplier 'lots' is not a number: no kick"},
             {14, "weapon 8: primary multiplier is empty: no kick"},
             {15, "weapon 9: primary multiplier '12 x': the text after the number is ignored, it counts as 12"},
             {16, "heading line starts with a blank before '['"},
             {18, "heading line has no closing ']'"},
             {19, "heading line has '=' before its closing ']'"},
             {20, "heading line [] names no heading"},
             {22, "heading [valve-AMMO2] is not read: the game directory valve reads [standard(valve,gearbox,etc)-AMMO2]"},
             {23, "heading [standard(valve,gearbox,etc)-ammo2] differs from [standard(valve,gearbox,etc)-AMMO2] only in letter case"},
             {24, "text after ']' is ignored: '4=9'"}},
            // 10=7 below the heading line with a blank stays in the primary table.
            {"       1        5          -", "       4        2        150",
             "       9       12          -", "      10        7          -"},
            "  AmmoIdIsFlag        off\n"},
        SeededCase{
            "SwitchKeysAndEndOfText", "cstrike",
            "[cstrike]\n"                      // 1
            "ammoidisflag=1\n"                 // 2
            "AllWeaponsClipless=yes\n"         // 3
            "Recoil=3\n"                       // 4
            "AmmoIdIsFlag=0.5\n"               // 5
            "[cstrike-AMMO1]\n"                // 6
            "1=20\n"                           // 7
            "\x1a\n"                           // 8
            "2=30\n",                          // 9
            {{2, "key ammoidisflag differs from AmmoIdIsFlag only in letter case"},
             {3, "AllWeaponsClipless has no number 'yes': it is off"},
             {4, "key 'Recoil' under [cstrike] is not read"},
             {5, "AmmoIdIsFlag=0.5 is not a whole number: it counts as 0 (off)"},
             {8, "byte 26 (end-of-file mark) ends the text here"}},
            {"       1       20          -"},
            "  AmmoIdIsFlag        off\n  AllWeaponsClipless  off\n"},
        SeededCase{
            // Nothing to warn about: a negative switch is on, CR line ends count like LF.
            "CleanFileWithCrLineEnds", "gearbox",
            std::string("[") + kStd + "]\rAmmoIdIsFlag=-1\rAllWeaponsClipless=2 ; on\r[" + kStd +
                "-AMMO2]\r63=4\r",
            {},
            {"      63        -          4"},
            "  AmmoIdIsFlag        on\n  AllWeaponsClipless  on\n"}));

// Files that cannot be loaded, and bad arguments: a clear message, a non-zero status.
struct FailureCase {
    std::string name;
    std::vector<std::string> args;  // "{dir}" stands for the scratch folder
    int status;
    std::string message;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FailureTest : public CheckTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, SaysWhyAndFails) {
    const FailureCase& c = GetParam();
    WriteBytes(Ini(), "[standard(valve,gearbox,etc)-AMMO1]\n2=15\n");
    WriteBytes(dir_ / "other.in~", "2=15\n");
    // A folder where the working copy of blocked.ini would go: the reader cannot make it.
    WriteBytes(dir_ / "blocked.ini", "2=15\n");
    fs::create_directory(dir_ / "blocked.in~");
    std::vector<std::string> args;
    for (std::string arg : c.args) {
        const std::size_t at = arg.find("{dir}");
        if (at != std::string::npos) arg.replace(at, 5, dir_.string());
        args.push_back(arg);
    }
    const CheckRun run = Check(args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTest,
    ::testing::Values(
        FailureCase{"MissingFile", {"{dir}/none.ini"}, 1, "cannot read '"},
        FailureCase{"Directory", {"{dir}"}, 1, "it is a directory"},
        FailureCase{"WorkingCopyName", {"{dir}/other.in~"}, 1, "ending in '~' is the name of a working copy"},
        FailureCase{"WorkingCopyBlocked", {"{dir}/blocked.ini"}, 1, "the working copy '"},
        FailureCase{"NoPath", {}, 2, "no PATH given"},
        FailureCase{"TwoPaths", {"{dir}/kestrum_mm.ini", "{dir}/blocked.ini"}, 2, "only one PATH"},
        FailureCase{"UnknownOption", {"{dir}/kestrum_mm.ini", "--game"}, 2, "unknown option --game"},
        FailureCase{"GameDirWithoutName", {"{dir}/kestrum_mm.ini", "--gamedir"}, 2, "--gamedir needs a NAME"},
        FailureCase{"GameDirTooLong", {"{dir}/kestrum_mm.ini", "--gamedir", std::string(241, 'd')}, 2,
                    "1 to 240 characters"}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

// A working copy that blocks a load is left where it is, and so is the file.
TEST_F(CheckTest, FailedLoadLeavesTheFolderAsItWas) {
    WriteBytes(Ini(), "2=15\n");
    fs::create_directory(dir_ / "kestrum_mm.in~");
    WriteBytes(dir_ / "kestrum_mm.in~" / "inside", "x");
    const CheckRun run = Check({Ini().string()});
    EXPECT_EQ(run.status, kestrum_check::kNotLoaded);
    EXPECT_EQ(ReadBytes(Ini()), "2=15\n");
    EXPECT_EQ(ReadBytes(dir_ / "kestrum_mm.in~" / "inside"), "x");
}

}  // namespace
