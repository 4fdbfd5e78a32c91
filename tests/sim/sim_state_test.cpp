// The transmitters' memory outlives a reload through the state file, and the
// environment chooses scenario and state file.
#include "sim_bus.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace zorbit_test {
namespace {

using SimState = SimBusTest;

std::string statePathInUse(SimControl &sim) {
    char path[512] = {};
    sim.iowsim_state_path(path, sizeof path);
    return path;
}

// Sets an environment variable for one scope, restoring the old value after.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name_(name) {
        if (const char *old = std::getenv(name)) {
            old_ = old;
            had_ = true;
        }
        set(value);
    }
    ~ScopedEnv() { set(had_ ? old_.c_str() : nullptr); }

private:
    void set(const char *value) {
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

    const char *name_;
    std::string old_;
    bool had_ = false;
};

TEST_F(SimState, NewAddressSurvivesAReload) {
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x41));
    ASSERT_TRUE(std::filesystem::exists(sim.statePath()));
    ASSERT_TRUE(restart());
    EXPECT_EQ(transmitter(0).address, 0x41);
    EXPECT_EQ(transmitter(0).current_page, 1);
    EXPECT_EQ(status(0x41), 0x40);
    EXPECT_EQ(word(0x41, 0x20), 0x2000);
}

TEST_F(SimState, DeletingTheStateFileRestoresTheDefault) {
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x41));
    ASSERT_TRUE(std::filesystem::remove(sim.statePath()));
    ASSERT_TRUE(restart());
    EXPECT_EQ(transmitter(0).address, kMainAddress);
    EXPECT_EQ(transmitter(0).current_page, 0);
}

TEST_F(SimState, WithoutAStateFileNothingPersists) {
    ASSERT_TRUE(sim.iowsim_load_scenario(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(statePathInUse(sim), "");
    open();
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x41));
    EXPECT_FALSE(std::filesystem::exists(sim.statePath()));
    ASSERT_TRUE(sim.iowsim_load_scenario(nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(transmitter(0).address, kMainAddress);
}

TEST_F(SimState, StateOfAnotherScenarioIsIgnored) {
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x41));
    ASSERT_TRUE(restart("[transmitter.main]\naddress = 0x28\n"));
    EXPECT_EQ(transmitter(0).address, kMainAddress) << "same transmitter name, other scenario";
}

TEST_F(SimState, UnreadableStateFileIsIgnored) {
    sim.writeFile("state.ini", "[state]\nscenario = default\n[transmitter.main]\ncurrent_page = 9\npage0 = 12\n");
    ASSERT_TRUE(restart());
    EXPECT_EQ(transmitter(0).address, kMainAddress);
    EXPECT_EQ(transmitter(0).current_page, 0);
}

TEST_F(SimState, EnvironmentChoosesScenarioAndStateFile) {
    const std::string scenario = sim.writeFile("env.ini", "[transmitter.a]\naddress = 0x11\n[transmitter.b]\n");
    const std::string state = sim.tempDir() + "/env-state/state.ini";
    {
        ScopedEnv scenario_env(IOWSIM_SCENARIO_ENV, scenario.c_str());
        ScopedEnv state_env(IOWSIM_STATE_ENV, state.c_str());
        ASSERT_TRUE(sim.iowsim_reload());
        EXPECT_EQ(sim.iowsim_transmitter_count(), 2);
        EXPECT_EQ(statePathInUse(sim), state);
        open();
        ASSERT_NO_FATAL_FAILURE(rewrite(0x11, 0x12));
        EXPECT_TRUE(std::filesystem::exists(state)) << "folders are created";
        ASSERT_TRUE(sim.iowsim_reload());
        EXPECT_EQ(transmitter(0).address, 0x12);
    }
    struct Case {
        const char *state, *xdg, *home, *expected;
    } const cases[] = {
        {nullptr, "/xdg", "/home/u", "/xdg/iowsim/state.ini"},
        {nullptr, nullptr, "/home/u", "/home/u/.local/share/iowsim/state.ini"},
        {"", "/xdg", "/home/u", ""},  // set but empty: no persistence
        {nullptr, nullptr, nullptr, ""},
    };
    for (const Case &c : cases) {
        ScopedEnv scenario_env(IOWSIM_SCENARIO_ENV, nullptr);
        ScopedEnv state_env(IOWSIM_STATE_ENV, c.state);
        ScopedEnv xdg_env("XDG_DATA_HOME", c.xdg);
        ScopedEnv home_env("HOME", c.home);
        ASSERT_TRUE(sim.iowsim_reload());
        EXPECT_EQ(statePathInUse(sim), c.expected);
        EXPECT_EQ(sim.iowsim_transmitter_count(), 1);
    }
    ASSERT_TRUE(restart()) << "back to the private state file before anything is written";
}

TEST_F(SimState, BrokenEnvironmentScenarioFallsBackToTheDefault) {
    ScopedEnv scenario_env(IOWSIM_SCENARIO_ENV, "/nonexistent/scenario.ini");
    ScopedEnv state_env(IOWSIM_STATE_ENV, "");
    EXPECT_FALSE(sim.iowsim_reload());
    EXPECT_EQ(sim.iowsim_transmitter_count(), 1);
}

TEST_F(SimState, StateFileNamesScenarioAndPages) {
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x41));
    std::ifstream in(sim.statePath());
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("scenario = default"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("[transmitter.main]"), std::string::npos);
    EXPECT_NE(text.str().find("current_page = 1"), std::string::npos);
    EXPECT_NE(text.str().find("page1 = 1C38 04D2 0041"), std::string::npos);
}

}  // namespace
}  // namespace zorbit_test
