// The real Starter.exe under Wine against files it cannot use: configuration files that are
// locked, read-only, folders, huge or full of every byte value; a missing or broken start-up
// sound; system library names planted in the game folder. The launcher must neither fault nor
// lose a file, and must keep running where it has nothing to report.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "config_files.h"
#include "launch_options.h"
#include "resource.h"
#include "starter_remote.h"
#include "starter_tests.h"
#include "support/files.h"

namespace {

using starter_remote::StarterRun;
using starter_tests::BuiltFile;
using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

const std::string kFailureTrace(launcher::kFailureTrace);

// A fresh game folder for the running test, holding Starter.exe and the stand-in game.
std::string FaultFolder() { return starter_tests::GameFolder(FAULT_ROOT, true); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The launcher is still there, answers its window's messages and shows no report.
// The window shows only after the load handler has run, and a report is made inside the handler
// that fails: once the window answers a message, any report there is to be is already there.
void ExpectRunningWithoutReport(StarterRun& run) {
  DWORD_PTR answer = 0;
  EXPECT_NE(SendMessageTimeoutA(run.Form(), WM_NULL, 0, 0, SMTO_NORMAL, starter_remote::kDeadline, &answer), 0)
      << "not answering";
  EXPECT_EQ(run.WaitForReport(0), nullptr) << "an error report appeared";
  EXPECT_TRUE(IsWindowVisible(run.Form()));
}

// The hidden "Save Config" button, pressed as its click reaches the window.
void SaveConfig(StarterRun& run) {
  SendMessageA(run.Form(), WM_COMMAND, MAKEWPARAM(IDC_COMMAND3, BN_CLICKED),
               reinterpret_cast<LPARAM>(run.Control(IDC_COMMAND3)));
}

// A handle on `path` that shares nothing: no other program can open the file while it lives.
class LockedFile {
 public:
  explicit LockedFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (handle_ == INVALID_HANDLE_VALUE) ADD_FAILURE() << "cannot lock " << path;
  }
  ~LockedFile() { Release(); }
  void Release() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

constexpr char kEarlierSave[] = "1,\" \",1,\" \",0,\" \",1,\" \",1,\" \"\r\n";
constexpr char kSaveOfInitialChecks[] = "1\r\n\" \"\r\n0\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n";

TEST(StarterSaveFaults, LockedFileStaysAsItWasAndTheNextSaveAfterTheLockSucceeds) {
  const std::string folder = FaultFolder();
  const std::string saved = folder + "\\xconfig2.dat";
  WriteFileBytes(saved, kEarlierSave);
  StarterRun run(folder);
  const std::vector<std::string> before = test_support::EntryNames(folder);
  LockedFile lock(saved);
  SaveConfig(run);
  ExpectRunningWithoutReport(run);
  lock.Release();
  EXPECT_EQ(ReadFileBytes(saved), kEarlierSave);
  EXPECT_EQ(test_support::EntryNames(folder), before) << "a failed save leaves no temporary file";

  SaveConfig(run);
  EXPECT_EQ(ReadFileBytes(saved), kSaveOfInitialChecks) << "the lock, not the save, was the problem";
}

TEST(StarterSaveFaults, ReadOnlyFileIsNeitherReplacedNorMadeWritable) {
  const std::string folder = FaultFolder();
  const std::string saved = folder + "\\xconfig2.dat";
  WriteFileBytes(saved, kEarlierSave);
  ASSERT_TRUE(SetFileAttributesA(saved.c_str(), FILE_ATTRIBUTE_READONLY));
  StarterRun run(folder);
  const std::vector<std::string> before = test_support::EntryNames(folder);
  SaveConfig(run);
  ExpectRunningWithoutReport(run);
  EXPECT_EQ(ReadFileBytes(saved), kEarlierSave);
  EXPECT_TRUE(GetFileAttributesA(saved.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(test_support::EntryNames(folder), before);
}

TEST(StarterSaveFaults, FolderInThePlaceOfTheFileKeepsItsContents) {
  const std::string folder = FaultFolder();
  const std::string saved = folder + "\\xconfig2.dat";
  ASSERT_TRUE(CreateDirectoryA(saved.c_str(), nullptr));
  WriteFileBytes(saved + "\\kept.txt", "kept");
  StarterRun run(folder);
  const std::vector<std::string> before = test_support::EntryNames(folder);
  SaveConfig(run);
  ExpectRunningWithoutReport(run);
  EXPECT_TRUE(GetFileAttributesA(saved.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(ReadFileBytes(saved + "\\kept.txt"), "kept");
  EXPECT_EQ(test_support::EntryNames(folder), before);
}

// An "xconfig.dat" that cannot be read: the window opens with its creation states and the
// failure trace, as without a file.
TEST(StarterLoadFaults, FolderInThePlaceOfTheFileOpensWithTheDefaults) {
  const std::string folder = FaultFolder();
  ASSERT_TRUE(CreateDirectoryA((folder + "\\xconfig.dat").c_str(), nullptr));
  StarterRun run(folder);
  ExpectRunningWithoutReport(run);
  EXPECT_EQ(run.Checks(), starter_tests::InitialChecks());
  EXPECT_EQ(run.Selection(), launcher::kStartResolution);
  EXPECT_EQ(run.Text(run.Control(IDC_TEXT2)), kFailureTrace);
}

TEST(StarterLoadFaults, LockedFileOpensWithTheDefaultsAndStaysIntact) {
  const std::string folder = FaultFolder();
  const std::string config = folder + "\\xconfig.dat";
  WriteFileBytes(config, "1 0 1 1 1 0 0 0 1 4 ");
  LockedFile lock(config);
  StarterRun run(folder);
  ExpectRunningWithoutReport(run);
  EXPECT_EQ(run.Checks(), starter_tests::InitialChecks());
  EXPECT_EQ(run.Selection(), launcher::kStartResolution);
  EXPECT_EQ(run.Text(run.Control(IDC_TEXT2)), kFailureTrace);
  lock.Release();
  EXPECT_EQ(ReadFileBytes(config), "1 0 1 1 1 0 0 0 1 4 ");
}

// The length of the load trace of `file`, which holds no NUL byte, and its first bytes.
std::size_t TraceLength(const std::string& file) {
  std::size_t length = 0, value = 0, number = 1;
  for (const char c : file) {
    length += 3 + launcher::NumberText(static_cast<unsigned char>(c)).size();  // c ( number )
    if (c != ' ') {
      ++value;
      continue;
    }
    length += 8 + launcher::NumberText(static_cast<long long>(number++)).size() + 1 + value + 2;
    value = 0;
  }
  return length;
}

// 16 MiB of values: the window opens with the first ten applied. The trace of such a file runs to
// hundreds of MiB: the text box shows it whole where it has room for it, else the failure trace,
// never a part of it or its text from creation.
TEST(StarterLoadFaults, SixteenMebibyteFileOpensWithItsValuesAndItsWholeTraceOrTheFailureTrace) {
  // In a 64-bit address space the text box has room for the whole trace; taking it in keeps Wine's
  // text box busy for over a minute before the window shows.
  if (sizeof(void*) > 4) GTEST_SKIP() << "a 64-bit launcher's text box has room for this trace";
  const std::string folder = FaultFolder();
  std::string config = "1 0 1 1 1 0 0 0 1 4 ";
  while (config.size() + 3 <= (16u << 20)) config += "17 ";
  config.resize(16u << 20, '9');
  WriteFileBytes(folder + "\\xconfig.dat", config);
  StarterRun run(folder);
  ExpectRunningWithoutReport(run);
  EXPECT_EQ(run.Checks(), (starter_remote::CheckStates{1, 1, 0, 1, 1, 1}));
  EXPECT_EQ(run.Selection(), 4);
  // Read in part: the test program has no room for the whole trace either.
  const HWND box = run.Control(IDC_TEXT2);
  const auto length = static_cast<std::size_t>(SendMessageA(box, WM_GETTEXTLENGTH, 0, 0));
  char start[64] = {};
  SendMessageA(box, WM_GETTEXT, sizeof start, reinterpret_cast<LPARAM>(start));
  if (length == kFailureTrace.size()) {
    EXPECT_EQ(start, kFailureTrace);
  } else {
    EXPECT_EQ(length, TraceLength(config));
    EXPECT_EQ(std::string(start), "1( 49) ( 32)Opcao =  1:1\r\n0( 48) ( 32)Opcao =  2:0\r\n1( 49) ( 32");
  }
}

// Every byte value, from 255 down to 0: the upper half and the control bytes reach the trace
// unchanged up to the NUL byte, where the text box ends its text.
TEST(StarterLoadFaults, EveryByteValueReachesTheTraceUnchanged) {
  const std::string folder = FaultFolder();
  std::string config, expected, value;
  for (int byte = 255; byte >= 0; --byte) config += static_cast<char>(byte);
  for (int byte = 255; byte >= 1; --byte) {
    expected += static_cast<char>(byte) + std::string("( ") + std::to_string(byte) + ")";
    if (byte == ' ') {
      expected += "Opcao =  1:" + value + "\r\n";
      value.clear();
    } else {
      value += static_cast<char>(byte);
    }
  }
  WriteFileBytes(folder + "\\xconfig.dat", config);
  StarterRun run(folder);
  ExpectRunningWithoutReport(run);
  EXPECT_EQ(run.Checks(), (starter_remote::CheckStates{0, 0, 0, 1, 1, 1})) << "value 1 is no number";
  EXPECT_EQ(run.Selection(), launcher::kStartResolution);
  EXPECT_EQ(run.Text(run.Control(IDC_TEXT2)), expected);
}

// A start-up sound that is missing, or is no sound at all, gives a silent start and a launcher
// that still plays.
class StarterSoundFaults : public ::testing::TestWithParam<std::string> {};

TEST_P(StarterSoundFaults, StartSilentlyAndStillPlay) {
  const std::string folder = FaultFolder();
  if (!GetParam().empty()) WriteFileBytes(folder + "\\vorlan2.wav", GetParam());
  StarterRun run(folder);
  ExpectRunningWithoutReport(run);
  run.Click(IDC_COMMAND1);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(starter_remote::WaitForFile(folder + "\\vorlan_started.txt"),
            "command line=vorlan.exe -nc -d v1  -d noshadow -d saveme\nshow window=2\n");
}

INSTANTIATE_TEST_SUITE_P(Sounds, StarterSoundFaults,
                         ::testing::Values(std::string(), std::string("RIFF\x10\0\0\0WAVEfmt \xff\xff\xff\x7f", 20),
                                           std::string("not a sound")),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return std::string(info.index == 0 ? "Missing" : info.index == 1 ? "BrokenHeader" : "NoRiff");
                         });

// Wine's per-program setting to take a library of these names from the program's search path,
// before its own, for as long as the object lives.
class PreferLibrariesOnTheSearchPath {
 public:
  template <std::size_t N>
  PreferLibrariesOnTheSearchPath(const std::string& program, const char* const (&libraries)[N])
      : key_("Software\\Wine\\AppDefaults\\" + program) {
    HKEY overrides;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &overrides, nullptr) != ERROR_SUCCESS) {
      ADD_FAILURE() << "cannot write " << key_;
      return;
    }
    for (const char* library : libraries) {
      const std::string name = std::string(library).substr(0, std::string(library).find('.'));
      RegSetValueExA(overrides, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    }
    RegCloseKey(overrides);
  }
  ~PreferLibrariesOnTheSearchPath() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }

 private:
  std::string key_;
};

// System library names planted in the game folder, with Wine told to prefer a library found on
// the search path over its own. The launcher, and the system on its behalf, must take the system
// folder's copies: the planted ones record being loaded. A plain window program in the same
// situation takes the planted copy, which shows the plant works.
TEST(StarterLibraryLoading, PlantedSystemLibrariesInTheGameFolderAreNotLoaded) {
  const char* planted[] = {"winmm.dll", "uxtheme.dll"};
  const std::string folder = FaultFolder();
  WriteFileBytes(folder + "\\vorlan2.wav", ReadFileBytes(BuiltFile(START_SOUND)));
  const std::string control = folder + "\\plain";
  CreateDirectoryA(control.c_str(), nullptr);
  for (const char* name : planted) {
    for (const std::string& where : {folder, control}) {
      DeleteFileA((where + "\\" + name + ".loaded").c_str());
      ASSERT_TRUE(CopyFileA(BuiltFile(PLANTED_LIBRARY).c_str(), (where + "\\" + name).c_str(), FALSE));
    }
  }
  ASSERT_TRUE(CopyFileA(BuiltFile(MINIMAL_WINDOW_EXE).c_str(), (control + "\\Starter.exe").c_str(), FALSE));
  const PreferLibrariesOnTheSearchPath preference("Starter.exe", planted);
  {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION plain{};
    std::string commandLine = "\"" + control + "\\Starter.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, control.c_str(),
                               &startup, &plain));
    EXPECT_TRUE(test_support::WaitUntil([&] { return Exists(control + "\\uxtheme.dll.loaded"); }))
        << "the plain program did not take the planted library: the check proves nothing";
    TerminateProcess(plain.hProcess, 0);
    WaitForSingleObject(plain.hProcess, 5000);
    CloseHandle(plain.hThread);
    CloseHandle(plain.hProcess);
  }
  {
    StarterRun run(folder);
    ExpectRunningWithoutReport(run);
    const SIZE narrow = run.OuterSize();
    run.Click(IDC_COMMAND2);  // the options panel: more controls drawn
    EXPECT_TRUE(test_support::WaitUntil([&] { return run.OuterSize().cx > narrow.cx; })) << "the panel opened";
    // Painted through: another thread's window is painted before this call returns.
    RedrawWindow(run.Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  for (const char* name : planted) EXPECT_FALSE(Exists(folder + "\\" + name + ".loaded")) << name;
}

}  // namespace
