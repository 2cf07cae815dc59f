#include "engine_binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "support/kit_files.h"

namespace kelvo::engine {
namespace {

// A host of our own: a real engine interface record whose three entries record their calls.
struct FakeHost {
  std::vector<std::string> functionRequests;
  std::map<std::string, EngineFunction> functions;
  std::vector<std::string> objectRequests;
  std::map<std::string, EngineSymbol> objects;
  std::vector<std::vector<EngineValue>> scriptCalls;
  EngineValue scriptAnswer = 0;
};
FakeHost* g_host = nullptr;  // global: the C entries reach the current fake through it

EngineFunction KELVO_CDECL LookUpFunction(const char* name) {
  g_host->functionRequests.push_back(name);
  const auto found = g_host->functions.find(name);
  return found == g_host->functions.end() ? nullptr : found->second;
}

EngineSymbol* KELVO_CDECL LookUpObject(const char* name) {
  g_host->objectRequests.push_back(name);
  const auto found = g_host->objects.find(name);
  return found == g_host->objects.end() ? nullptr : &found->second;
}

EngineValue KELVO_CDECL CallScript(EngineValue script, EngineValue a, EngineValue b, EngineValue c,
                                   EngineValue d) {
  g_host->scriptCalls.push_back({script, a, b, c, d});
  return g_host->scriptAnswer;
}

void KELVO_CDECL HostBeep() {}
void KELVO_CDECL HostDebugPosition() {}

class Binding : public ::testing::Test {
 protected:
  Binding() {
    g_host = &host_;
    std::memset(&record_, 0xCC, sizeof record_);  // the host's own part is none of our business
    record_.objectLookup = &LookUpObject;
    record_.functionLookup = &LookUpFunction;
    record_.scriptCall = &CallScript;
  }
  ~Binding() override { g_host = nullptr; }

  template <typename Entry>
  Entry TableEntryAs(const char* name) {
    return reinterpret_cast<Entry>(TableEntry(name));
  }

  FakeHost host_;
  EngineInterface record_;
};

using NameEntry = EngineValue(KELVO_CDECL*)(const char*);
using CallName4 = EngineValue(KELVO_CDECL*)(const char*, EngineValue, EngineValue, EngineValue,
                                            EngineValue);
using CallScript4 = EngineValue(KELVO_CDECL*)(EngineValue, EngineValue, EngineValue, EngineValue,
                                              EngineValue);

// The host functions the plug-in must ask for, in order: the expected list, one name a line.
std::vector<std::string> ExpectedFunctionNames() {
  std::ifstream list(test_support::BuiltFile(EXPECTED_ENGINE_FUNCTION_NAMES));
  std::vector<std::string> names;
  for (std::string name; std::getline(list, name);) names.push_back(name);
  return names;
}

TEST_F(Binding, AsksForEveryNameOnceInOrderAndAnswers630) {
  const std::vector<std::string> expected = ExpectedFunctionNames();
  ASSERT_EQ(expected.size(), 281u) << EXPECTED_ENGINE_FUNCTION_NAMES;
  EXPECT_EQ(Bind(&record_), 630);
  EXPECT_EQ(BoundInterface(), &record_);
  ASSERT_EQ(host_.functionRequests.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(host_.functionRequests[i], expected[i]) << "request " << i + 1 << " of " << expected.size();
  EXPECT_TRUE(host_.objectRequests.empty());
  EXPECT_TRUE(host_.scriptCalls.empty());
}

TEST_F(Binding, StoresTheHostsAnswersNullsIncludedAndReplacesFiveEntries) {
  host_.functions = {{"beep", reinterpret_cast<EngineFunction>(&HostBeep)},
                     {"engine_getobj", reinterpret_cast<EngineFunction>(&HostBeep)},
                     {"engine_callscript4", reinterpret_cast<EngineFunction>(&HostBeep)},
                     {"engine_debugposition", reinterpret_cast<EngineFunction>(&HostDebugPosition)}};
  ASSERT_EQ(Bind(&record_), 630);
  EXPECT_EQ(TableEntry("beep"), reinterpret_cast<EngineFunction>(&HostBeep));
  EXPECT_EQ(TableEntry("_str"), nullptr);
  EXPECT_EQ(TableEntry("vec_set"), nullptr);
  EXPECT_EQ(TableEntry("engine_debugposition"), reinterpret_cast<EngineFunction>(&HostDebugPosition));
  EXPECT_EQ(TableEntry("engine_debugbreakpoint"), nullptr);
  EXPECT_EQ(TableEntry("engine_getobj"), reinterpret_cast<EngineFunction>(&engine_getobj));
  EXPECT_EQ(TableEntry("engine_getfunc"), reinterpret_cast<EngineFunction>(&engine_getfunc));
  EXPECT_EQ(TableEntry("engine_getscript"), reinterpret_cast<EngineFunction>(&engine_getscript));
  EXPECT_EQ(TableEntry("engine_callname4"), reinterpret_cast<EngineFunction>(&engine_callname4));
  EXPECT_EQ(TableEntry("engine_callscript4"),
            reinterpret_cast<EngineFunction>(&engine_callscript4));
  EXPECT_EQ(TableEntry("not_an_engine_function"), nullptr);
}

TEST_F(Binding, AHostAnsweringNullForEverythingStillGetsTheFiveAnd630) {
  ASSERT_EQ(Bind(&record_), 630);
  EXPECT_EQ(host_.functionRequests.size(), 281u);
  for (const char* name : {"engine_getobj", "engine_getfunc", "engine_getscript",
                           "engine_callname4", "engine_callscript4"})
    EXPECT_NE(TableEntry(name), nullptr) << name;
}

TEST_F(Binding, ASecondBindingAsksAgainAndRefillsTheTable) {
  host_.functions = {{"beep", reinterpret_cast<EngineFunction>(&HostBeep)}};
  ASSERT_EQ(Bind(&record_), 630);
  EngineInterface second = record_;
  host_.functions = {{"timer", reinterpret_cast<EngineFunction>(&HostBeep)}};
  EXPECT_EQ(Bind(&second), 630);
  EXPECT_EQ(BoundInterface(), &second);
  EXPECT_EQ(host_.functionRequests.size(), 562u);
  EXPECT_EQ(TableEntry("beep"), nullptr);
  EXPECT_EQ(TableEntry("timer"), reinterpret_cast<EngineFunction>(&HostBeep));
  EXPECT_NE(TableEntry("engine_getscript"), nullptr);
}

TEST_F(Binding, ANullRecordBindsNothingAndKeepsTheEarlierBinding) {
  host_.functions = {{"beep", reinterpret_cast<EngineFunction>(&HostBeep)}};
  ASSERT_EQ(Bind(&record_), 630);
  EXPECT_EQ(Bind(nullptr), 0);
  EXPECT_EQ(BoundInterface(), &record_);
  EXPECT_EQ(TableEntry("beep"), reinterpret_cast<EngineFunction>(&HostBeep));
}

TEST_F(Binding, ARecordWithoutFunctionLookupBindsWithNullAnswers) {
  host_.functions = {{"beep", reinterpret_cast<EngineFunction>(&HostBeep)}};
  ASSERT_EQ(Bind(&record_), 630);
  record_.functionLookup = nullptr;
  EXPECT_EQ(Bind(&record_), 630);
  EXPECT_EQ(TableEntry("beep"), nullptr);
  EXPECT_NE(TableEntry("engine_getobj"), nullptr);
  EXPECT_EQ(TableEntryAs<NameEntry>("engine_getfunc")("beep"), 0);
}

TEST_F(Binding, GetFuncPassesTheHostsAnswerThroughAndAsksAgainEachTime) {
  host_.functions = {{"beep", reinterpret_cast<EngineFunction>(&HostBeep)}};
  ASSERT_EQ(Bind(&record_), 630);
  host_.functionRequests.clear();
  host_.functions["late"] = reinterpret_cast<EngineFunction>(&HostDebugPosition);
  const auto getFunc = TableEntryAs<NameEntry>("engine_getfunc");
  EXPECT_EQ(getFunc("beep"), reinterpret_cast<EngineValue>(&HostBeep));
  EXPECT_EQ(getFunc("late"), reinterpret_cast<EngineValue>(&HostDebugPosition));
  EXPECT_EQ(getFunc("missing"), 0);
  EXPECT_THAT(host_.functionRequests, ::testing::ElementsAre("beep", "late", "missing"));
}

TEST_F(Binding, GetObjTakesTheSecondValueForKinds3And9Only) {
  host_.objects = {{"k3", {11, 12, 3}}, {"k9", {21, 22, 9}}, {"k6", {31, 32, 6}},
                   {"k0", {41, 42, 0}}, {"k4", {51, 52, 4}}, {"k10", {61, 62, 10}}};
  ASSERT_EQ(Bind(&record_), 630);
  const auto getObj = TableEntryAs<NameEntry>("engine_getobj");
  EXPECT_EQ(getObj("k3"), 12);
  EXPECT_EQ(getObj("k9"), 22);
  EXPECT_EQ(getObj("k6"), 31);
  EXPECT_EQ(getObj("k0"), 41);
  EXPECT_EQ(getObj("k4"), 51);
  EXPECT_EQ(getObj("k10"), 61);
  EXPECT_EQ(getObj("none"), 0);  // the host found no record
  EXPECT_THAT(host_.objectRequests,
              ::testing::ElementsAre("k3", "k9", "k6", "k0", "k4", "k10", "none"));
}

TEST_F(Binding, GetScriptAnswersOnlyScriptFunctions) {
  host_.objects = {{"script", {0x401000, 7, 6}}, {"k9", {21, 22, 9}}, {"k3", {11, 12, 3}}};
  ASSERT_EQ(Bind(&record_), 630);
  const auto getScript = TableEntryAs<NameEntry>("engine_getscript");
  EXPECT_EQ(getScript("script"), 0x401000);
  EXPECT_EQ(getScript("k9"), 0);
  EXPECT_EQ(getScript("k3"), 0);
  EXPECT_EQ(getScript("none"), 0);
}

TEST_F(Binding, CallName4CallsTheFoundScriptWithTheValuesInOrder) {
  host_.objects = {{"on_hit", {0x402000, 0, 6}}, {"player", {5, 6, 3}}};
  host_.scriptAnswer = 77;
  ASSERT_EQ(Bind(&record_), 630);
  const auto callName4 = TableEntryAs<CallName4>("engine_callname4");
  EXPECT_EQ(callName4("on_hit", 1, 2, 3, 4), 77);
  // Not a script function: the script call still runs, with 0 for the function.
  EXPECT_EQ(callName4("player", -1, 0, INT32_MAX, INT32_MIN), 77);
  EXPECT_THAT(host_.scriptCalls,
              ::testing::ElementsAre(::testing::ElementsAre(0x402000, 1, 2, 3, 4),
                                     ::testing::ElementsAre(0, -1, 0, INT32_MAX, INT32_MIN)));
  EXPECT_THAT(host_.objectRequests, ::testing::ElementsAre("on_hit", "player"));
}

TEST_F(Binding, CallScript4PassesAllFiveUnchanged) {
  host_.scriptAnswer = -3;
  ASSERT_EQ(Bind(&record_), 630);
  const auto callScript4 = TableEntryAs<CallScript4>("engine_callscript4");
  EXPECT_EQ(callScript4(0x403000, 9, 8, 7, 6), -3);
  EXPECT_THAT(host_.scriptCalls,
              ::testing::ElementsAre(::testing::ElementsAre(0x403000, 9, 8, 7, 6)));
}

TEST_F(Binding, TheFiveReadTheRecordAnewOnEveryCall) {
  host_.objects = {{"on_hit", {0x402000, 0, 6}}};
  ASSERT_EQ(Bind(&record_), 630);
  record_.objectLookup = nullptr;
  record_.scriptCall = nullptr;
  EXPECT_EQ(engine_getobj("on_hit"), 0);
  EXPECT_EQ(engine_getscript("on_hit"), 0);
  EXPECT_EQ(engine_callname4("on_hit", 1, 2, 3, 4), 0);
  EXPECT_EQ(engine_callscript4(1, 2, 3, 4, 5), 0);
  record_.objectLookup = &LookUpObject;
  record_.scriptCall = &CallScript;
  EXPECT_EQ(engine_getscript("on_hit"), 0x402000);
}

}  // namespace
}  // namespace kelvo::engine
