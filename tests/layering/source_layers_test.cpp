// The include rules of src/, first on small texts that break them, then on the tree itself.
#include "source_layers.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using source_layers::check;

struct Case {
    const char *file;
    const char *include;
    const char *why; // empty when the include is allowed
};

const Case kCases[] = {
    {"app/main.cpp", "services/log/logFile.h", ""},
    {"app/main.cpp", "views/chart/chart.h", ""},
    {"app/main.cpp", "app/main.h", ""},
    {"views/chart/chart.cpp", "transmitter/OrvelMemory.h", ""},
    {"transmitter/readdress.cpp", "transmitter/memory_map_text.h", ""},
    {"services/log/logFile.cpp", "services/utils/ZUtils.h", ""},
    {"views/chart/chart_panel.cpp", "ui_chart_panel.h", ""},
    {"app/main_startup.cpp", "main_startup.moc", ""},
    {"services/log/logFile.cpp", "app/ThreadSynch.h", "from a layer above"},
    {"services/utils/ZUtils.cpp", "transmitter/OrvelDevice.h", "from a layer above"},
    {"services/dialogs/options_frm.cpp", "views/chart/chart.h", "from a layer above"},
    {"views/chart/chart.cpp", "app/main.h", "from a layer above"},
    {"transmitter/OrvelHandler.cpp", "app/scan_Thread.h", "from a layer above"},
    {"cli/cli_session.cpp", "app/main.h", "from the other program"},
    {"app/main.cpp", "OrvelHandler.h", "not a path from src/"},
    {"app/main.cpp", "../services/log/logFile.h", "not a path from src/"},
    {"app/main.cpp", "views/chart/gone.h", "not a path from src/"},
};

TEST(SourceLayers, IncludesAreCheckedAgainstTheirLayers)
{
    const std::set<std::string> files{"services/log/logFile.h", "views/chart/chart.h", "app/main.h",
                                      "transmitter/OrvelMemory.h", "transmitter/memory_map_text.h",
                                      "services/utils/ZUtils.h", "app/ThreadSynch.h", "transmitter/OrvelDevice.h",
                                      "app/scan_Thread.h", "OrvelHandler.h"};
    const auto exists = [&](const std::string &path) { return files.count(path) > 0; };
    for (const Case &c : kCases) {
        const std::string text = std::string("// one include\n#include \"") + c.include + "\"\n#include <vector>\n";
        const auto violations = check(c.file, text, exists);
        if (*c.why == '\0') {
            EXPECT_TRUE(violations.empty()) << c.file << " including " << c.include;
        } else {
            ASSERT_EQ(violations.size(), 1u) << c.file << " including " << c.include;
            EXPECT_EQ(violations[0].include, c.include);
            EXPECT_EQ(violations[0].why, c.why) << c.file << " including " << c.include;
        }
    }
}

TEST(SourceLayers, OnlyQuotedIncludesAtTheStartOfALineCount)
{
    const std::string text = "#include <QString>\n  #  include \"app/main.h\"\n// #include \"x.h\"\n"
                             "const char *s = \"#include \\\"y.h\\\"\";\n#include \"services/log/logFile.h\"\n";
    EXPECT_EQ(source_layers::quoted_includes(text),
              (std::vector<std::string>{"app/main.h", "services/log/logFile.h"}));
}

TEST(SourceLayers, TheSourceTreeKeepsItsLayers)
{
    const fs::path src(ZORBIT_SOURCE_DIR);
    const auto exists = [&](const std::string &path) { return fs::is_regular_file(src / path); };
    int files = 0;
    int includes = 0;
    std::ostringstream report;
    for (const auto &entry : fs::recursive_directory_iterator(src)) {
        const std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
            continue;
        const std::string file = fs::relative(entry.path(), src).generic_string();
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ++files;
        includes += static_cast<int>(source_layers::quoted_includes(text).size());
        for (const auto &v : check(file, text, exists))
            report << file << ": \"" << v.include << "\" " << v.why << "\n";
    }
    EXPECT_GT(files, 100);
    EXPECT_GT(includes, 300);
    EXPECT_EQ(report.str(), "");
}

} // namespace
