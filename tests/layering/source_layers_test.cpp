// The layer rules of src/, first on small texts and graphs that break them, then on the tree and
// the link graph of this build.
#include "source_layers.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using source_layers::check;

std::string read(const fs::path &path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The files of a small fake tree, relative to src/.
const std::set<std::string> kFiles{
    "services/log/logFile.h",       "services/log/logFileForm.h",   "views/chart/chart.h",
    "app/main.h",                   "transmitter/OrvelMemory.h",    "transmitter/memory_map_text.h",
    "services/utils/ZUtils.h",      "app/ThreadSynch.h",            "transmitter/OrvelDevice.h",
    "app/scan_Thread.h",            "OrvelHandler.h",               "services/settings/IniHandler.h",
    "services/dialogs/saveForm.h",  "services/dialogs/msgDialogForm.h", "session/session_records.h",
    "transmitter/readdress.h",      "views/windows/table_export.h", "services/settings/Translator.h",
};

bool fakeExists(const std::string &path) { return kFiles.count(path) > 0; }

struct Case {
    const char *file;
    const char *include;
    const char *why; // empty when the include is allowed
};

const Case kCases[] = {
    {"app/main.cpp", "services/log/logFile.h", ""},
    {"app/main.cpp", "views/chart/chart.h", ""},
    {"app/main.cpp", "app/main.h", ""},
    {"app/main.cpp", "session/session_records.h", ""},
    {"views/chart/chart.cpp", "transmitter/OrvelMemory.h", ""},
    {"views/windows/journal_form.cpp", "session/session_records.h", ""},
    {"session/session_records.h", "transmitter/readdress.h", ""},
    {"transmitter/readdress.cpp", "transmitter/memory_map_text.h", ""},
    {"services/log/logFile.cpp", "services/utils/ZUtils.h", ""},
    {"services/log/logFile.cpp", "services/settings/IniHandler.h", ""},
    {"services/log/logFileForm.cpp", "services/dialogs/msgDialogForm.h", ""},
    {"services/dialogs/saveForm.cpp", "services/settings/IniHandler.h", ""},
    {"views/chart/chart_panel.cpp", "ui_chart_panel.h", ""},
    {"app/main_startup.cpp", "main_startup.moc", ""},
    {"services/log/logFile.cpp", "app/ThreadSynch.h", "from a layer above"},
    {"services/utils/ZUtils.cpp", "transmitter/OrvelDevice.h", "from a layer above"},
    {"services/dialogs/options_frm.cpp", "views/chart/chart.h", "from a layer above"},
    {"views/chart/chart.cpp", "app/main.h", "from a layer above"},
    {"transmitter/OrvelHandler.cpp", "app/scan_Thread.h", "from a layer above"},
    {"transmitter/readdress_journal.cpp", "session/session_records.h", "from a layer above"},
    {"cli/cli_session.cpp", "app/main.h", "from the other program"},
    {"app/main.cpp", "OrvelHandler.h", "not a path from src/"},
    {"app/main.cpp", "../services/log/logFile.h", "not a path from src/"},
    {"app/main.cpp", "views/chart/gone.h", "not a path from src/"},
};

TEST(SourceLayers, IncludesAreCheckedAgainstTheirLayers)
{
    for (const Case &c : kCases) {
        const std::string text = std::string("// one include\n#include \"") + c.include + "\"\n#include <vector>\n";
        const auto violations = check(c.file, text, fakeExists);
        if (*c.why == '\0') {
            EXPECT_TRUE(violations.empty()) << c.file << " including " << c.include;
        } else {
            ASSERT_EQ(violations.size(), 1u) << c.file << " including " << c.include;
            EXPECT_EQ(violations[0].include, c.include);
            EXPECT_EQ(violations[0].why, c.why) << c.file << " including " << c.include;
        }
    }
}

// A break the rules must catch: a fake file (its path and text) or, without a path, a fake link graph.
struct Break {
    const char *what;
    const char *file;
    const char *text;
    const char *found; // "<include>: <why>" or "<library> -> <link>: <why>"
};

const Break kBreaks[] = {
    {"transmitter including views", "transmitter/memory_image_file.cpp",
     "#include \"transmitter/OrvelMemory.h\"\n#include \"views/windows/table_export.h\"\n",
     "views/windows/table_export.h: from a layer above"},
    {"the settings including the event log", "services/settings/Translator.cpp",
     "#include \"services/settings/Translator.h\"\n#include \"services/log/logFile.h\"\n",
     "services/log/logFile.h: from a layer above"},
    {"the dialogs including the log viewer", "services/dialogs/msgDialogForm.cpp",
     "#include \"services/settings/Translator.h\"\n#include \"services/log/logFileForm.h\"\n",
     "services/log/logFileForm.h: from a layer above"},
    {"the utilities including the settings", "services/utils/ini_file.cpp",
     "#include \"services/utils/ZUtils.h\"\n#include \"services/settings/IniHandler.h\"\n",
     "services/settings/IniHandler.h: from a layer above"},
    {"the settings including a dialog", "services/settings/IniHandler_forms.cpp",
     "#include \"services/dialogs/saveForm.h\"\n", "services/dialogs/saveForm.h: from a layer above"},
    {"the session including a view", "session/session_records.h",
     "#pragma once\n#include \"transmitter/readdress.h\"\n#include \"views/chart/chart.h\"\n",
     "views/chart/chart.h: from a layer above"},
    {"an angle include of a project header from a lower layer", "services/utils/ZUtils.cpp",
     "#include <QString>\n#include <transmitter/OrvelDevice.h>\n#include <vector>\n",
     "transmitter/OrvelDevice.h: from a layer above"},
    {"an angle include of the other program", "cli/cli_session.cpp", "#include <QCoreApplication>\n#include <app/main.h>\n",
     "app/main.h: from the other program"},
    {"a file outside the layers", "tools/stray.cpp", "#include \"services/utils/ZUtils.h\"\n",
     "tools/stray.cpp: a file outside the layers"},
    {"a library linking one above it", "",
     "zorbit_utils\tSTATIC_LIBRARY\tservices/utils\tQt6::Core\n"
     "zorbit_model\tSTATIC_LIBRARY\ttransmitter\tzorbit_utils,zorbit_chart,Qt6::Core\n"
     "zorbit_chart\tSTATIC_LIBRARY\tviews/chart\tzorbit_model\n",
     "zorbit_model -> zorbit_chart: links a layer above"},
    {"a services circle through the links", "",
     "zorbit_settings\tSTATIC_LIBRARY\tservices/settings\t\n"
     "zorbit_log\tSTATIC_LIBRARY\tservices/log\tzorbit_settings\n"
     "zorbit_translator\tSTATIC_LIBRARY\tservices/settings\tzorbit_log\n",
     "zorbit_translator -> zorbit_log: links a layer above"},
    {"the interface records library linking a view", "",
     "zorbit_session_records\tINTERFACE_LIBRARY\tsession\tzorbit_view_text,Qt6::Core\n"
     "zorbit_view_text\tSTATIC_LIBRARY\tviews/windows\t\n",
     "zorbit_session_records -> zorbit_view_text: links a layer above"},
    {"the command line linking the window", "",
     "zorbit_cli\tSTATIC_LIBRARY\tcli\tzorbit_main_form\nzorbit_main_form\tSTATIC_LIBRARY\tapp\t\n",
     "zorbit_cli -> zorbit_main_form: links the other program"},
    {"a library outside the layers", "", "zorbit_stray\tSTATIC_LIBRARY\t\t\n", "zorbit_stray: outside the layers"},
    {"a link to a project library the graph does not know", "",
     "zorbit_model\tSTATIC_LIBRARY\ttransmitter\tzorbit_qt_test_main,dl\n",
     "zorbit_model -> zorbit_qt_test_main: not a library of src/"},
};

std::vector<std::string> found(const Break &b)
{
    std::vector<std::string> lines;
    if (*b.file != '\0') {
        for (const auto &v : check(b.file, b.text, fakeExists))
            lines.push_back((v.include.empty() ? std::string(b.file) : v.include) + ": " + v.why);
    } else {
        for (const auto &v : source_layers::check_links(source_layers::read_link_graph(b.text)))
            lines.push_back(v.link.empty() ? v.library + ": " + v.why : v.library + " -> " + v.link + ": " + v.why);
    }
    return lines;
}

TEST(SourceLayers, EveryBreakIsCaught)
{
    for (const Break &b : kBreaks)
        EXPECT_EQ(found(b), std::vector<std::string>{b.found}) << b.what;
}

TEST(SourceLayers, QuotedAndAngleIncludesAtTheStartOfALineCount)
{
    const std::string text = "#include <QString>\n  #  include \"app/main.h\"\n// #include \"x.h\"\n"
                             "const char *s = \"#include \\\"y.h\\\"\";\n#include \"services/log/logFile.h\"\n"
                             "\t#include <services/utils/ZUtils.h>\n";
    std::vector<std::string> seen;
    for (const auto &include : source_layers::includes(text))
        seen.push_back((include.angle ? "<" : "\"") + include.name);
    EXPECT_EQ(seen, (std::vector<std::string>{"<QString", "\"app/main.h", "\"services/log/logFile.h",
                                              "<services/utils/ZUtils.h"}));
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
        const std::string text = read(entry.path());
        ++files;
        for (const auto &include : source_layers::includes(text))
            includes += !include.angle || exists(include.name);
        for (const auto &v : check(file, text, exists))
            report << file << ": \"" << v.include << "\" " << v.why << "\n";
    }
    EXPECT_GT(files, 100);
    EXPECT_GT(includes, 300);
    EXPECT_EQ(report.str(), "");
}

// The graph this build wrote: every library the CMake lists below src/ make is in it, in the
// folder of its list, and links only what its rank allows.
TEST(SourceLayers, TheLibrariesKeepTheirLayers)
{
    const std::vector<source_layers::Library> graph = source_layers::read_link_graph(read(ZORBIT_LINK_GRAPH));
    std::map<std::string, std::string> folders;
    int projectLinks = 0;
    for (const auto &library : graph) {
        folders[library.name] = library.folder;
        for (const std::string &link : library.links)
            projectLinks += link.rfind("zorbit_", 0) == 0;
    }

    const fs::path src(ZORBIT_SOURCE_DIR);
    static const std::regex made(R"re((?:zorbit_library|add_library)\(\s*(zorbit_\w+))re");
    int listed = 0;
    for (const auto &entry : fs::recursive_directory_iterator(src)) {
        if (entry.path().filename() != "CMakeLists.txt")
            continue;
        const std::string dir = fs::relative(entry.path().parent_path(), src).generic_string();
        const std::string text = read(entry.path());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), made); it != std::sregex_iterator(); ++it) {
            ++listed;
            const auto library = folders.find((*it)[1]);
            ASSERT_NE(library, folders.end()) << (*it)[1] << " of " << dir;
            EXPECT_EQ(library->second, dir) << (*it)[1];
        }
    }
    EXPECT_GT(listed, 30);
    EXPECT_EQ(folders.at("zorbit_session_records"), "session");
    EXPECT_GT(projectLinks, 60);

    std::ostringstream report;
    for (const auto &v : source_layers::check_links(graph))
        report << v.library << " -> " << v.link << ": " << v.why << "\n";
    EXPECT_EQ(report.str(), "");
}

} // namespace
