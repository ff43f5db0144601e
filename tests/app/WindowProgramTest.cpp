// The window program's command line: what it opens, what it refuses, and --help and --version,
// which need no display. STRINGART names the program.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/LazyFigureFiles.h"
#include "export/FigureFileWriter.h"
#include "figure/Tracer.h"
#include "journal/Journal.h"
#include "options/FigureCommand.h"
#include "options/WindowKeys.h"
#include "options/WindowOptions.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

const std::string kDraws = FormatDraws(kExampleDraws);

TEST(WindowOptions, FilesAFigureOrOneLineNamingTheProblem) {
  std::string error;
  auto options = ParseWindowOptions({"a.png", "-platform", "xcb", "--", "-b.svg"}, error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->files, (std::vector<std::string>{"a.png", "-b.svg"}));
  options = ParseWindowOptions({"--directions=-1,1,-1", "--draws", kDraws}, error);
  ASSERT_TRUE(options && options->figure) << error;
  EXPECT_EQ(options->figure->draws, kExampleDraws);
  EXPECT_EQ(options->figure->start, (Directions{-1, 1, -1}));
  EXPECT_TRUE(ParseWindowOptions({"--bogus", "--help"}, error) == std::nullopt);

  const std::vector<std::pair<std::vector<std::string>, std::string>> refused = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--draws"}, "--draws needs a value"},
      {{"--draws", "0.1,0.2"}, "--draws: expected 12 draws"},
      {{"--directions", "1,1,1"}, "needs --draws"},
      {{"--draws", kDraws, "a.png"}, "not both"},
      {{"--draws", kDraws, "--draws", kDraws}, "more than once"},
  };
  for (const auto& [args, why] : refused) {
    error.clear();
    EXPECT_EQ(ParseWindowOptions(args, error), std::nullopt) << args[0];
    EXPECT_NE(error.find(why), std::string::npos) << args[0] << ": " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

// The window's files from the file formats' module: where it cannot be loaded, each file fails
// saying why and writes nothing, and the command to copy still comes; where it loads, a picture
// saved opens again as its figure.
TEST(LazyFigureFiles, WithoutTheModuleEachFileFailsSayingWhyAndTheCommandStillComes) {
  const std::string dir = ::testing::TempDir() + "stringart-lazy-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const FigureRecord figure = {kExampleDraws, {1, -1, 1}, {}};
  Picture1 picture;
  TraceAgain(figure, picture);
  LazyFigureFiles missing(dir + "/stringart-files.so");
  const std::string why = "could not be loaded from " + dir + "/stringart-files.so";
  std::string error, way, written;
  EXPECT_FALSE(missing.Save(dir + "/f.png", picture, figure, error));
  EXPECT_NE(error.find(why), std::string::npos) << error;
  error.clear();
  EXPECT_EQ(missing.SetWallpaper(figure, {{"screen", 500, 500}}, dir, {}, way, written, error),
            ExportResult::Failed);
  EXPECT_NE(error.find(why), std::string::npos) << error;
  EXPECT_EQ(missing.Command(figure), CopiedCommand(figure));
  EXPECT_FALSE(std::filesystem::exists(dir + "/f.png"));

  LazyFigureFiles files(STRINGART_FILES);
  ASSERT_TRUE(files.Save(dir + "/f.png", picture, figure, error)) << error;
  EXPECT_EQ(files.Open(dir + "/f.png", error), figure) << error;
  std::filesystem::remove_all(dir);
}

struct Ran {
  int status;
  std::string out;
};

// Runs the window program with no display at all, standard error into standard output.
Ran RunWithoutDisplay(const std::string& args, const std::string& environment = "") {
  const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                              environment + "'" STRINGART "' " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int raw = pclose(pipe);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out};
}

TEST(WindowProgram, HelpAndVersionNeedNoDisplayAndAMistakeGetsOneLineAndStatusTwo) {
  const Ran help = RunWithoutDisplay("--help", "LANGUAGE= LC_ALL= LANG=C.UTF-8 ");
  EXPECT_EQ(help.status, 0) << help.out;
  EXPECT_NE(help.out.find("Usage: stringart [FILE...]"), std::string::npos) << help.out;
  const Ran version = RunWithoutDisplay("--version");
  EXPECT_EQ(version.status, 0) << version.out;
  EXPECT_EQ(version.out, "stringart " STRINGART_VERSION "\n");
  const Ran full = RunWithoutDisplay("--version 2>&1 >/dev/full; exit $?");
  EXPECT_EQ(full.status, 1) << full.out;
  EXPECT_NE(full.out.find("cannot write to standard output"), std::string::npos) << full.out;
  const Ran bogus = RunWithoutDisplay("--bogus");
  EXPECT_EQ(bogus.status, 2) << bogus.out;
  EXPECT_EQ(bogus.out, "stringart: unknown option '--bogus' (see stringart --help)\n");
}

TEST(WindowProgram, HelpSpeaksThePersonsLanguageAndListsEveryKey) {
  for (const std::string language : {"LANGUAGE= LC_ALL= LC_MESSAGES= LANG=de_DE.UTF-8 ",
                                     "LANGUAGE=de LC_ALL= LC_MESSAGES= LANG=en_GB.UTF-8 "}) {
    const Ran help = RunWithoutDisplay("--help", language);
    EXPECT_EQ(help.status, 0) << language << help.out;
    EXPECT_NE(help.out.find("Aufruf: stringart [FILE...]"), std::string::npos)
        << language << help.out;
    EXPECT_NE(help.out.find("Tasten im Fenster:"), std::string::npos) << language << help.out;
    EXPECT_NE(help.out.find("(1 bis 86400"), std::string::npos) << language << help.out;
    // The keys named as the menus name them, in one column.
    EXPECT_NE(help.out.find("Tasten im Fenster:\n  Strg+N, F5            "), std::string::npos)
        << language << help.out;
    EXPECT_NE(help.out.find("\n  Alt+Links, Zurück     "), std::string::npos)
        << language << help.out;
  }
  const Ran english = RunWithoutDisplay("--help", "LANGUAGE= LC_ALL= LANG=C.UTF-8 ");
  EXPECT_NE(english.out.find("Keys in the window:\n  Ctrl+N, F5 "), std::string::npos)
      << english.out;
  for (const WindowKeyRow& row : WindowKeyTable()) {
    EXPECT_NE(english.out.find("  " + ReadableKeys(row.keys) + "  "), std::string::npos)
        << row.keys;
  }
}

// A Wayland session's socket name without XDG_RUNTIME_DIR, where it lives: one line, status 1.
TEST(WindowProgram, AWaylandNameWithoutItsRuntimeFolderGetsOneLine) {
  const Ran run =
      RunWithoutDisplay("", "-u XDG_RUNTIME_DIR -u LANGUAGE WAYLAND_DISPLAY=wayland-0 ");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_EQ(run.out,
            "stringart: cannot open the window: no Wayland compositor answers on 'wayland-0 "
            "(XDG_RUNTIME_DIR unset)'; use stringart-render to make figures without one\n");
}

// --import adds a figures file's figures to the journal without a display: one line, and
// status 2 with nothing added for a file that does not read.
TEST(WindowProgram, ImportAddsAFiguresFileToTheJournalWithoutADisplay) {
  const std::string dir = ::testing::TempDir() + "stringart-import-" + std::to_string(getpid());
  std::filesystem::create_directories(dir);
  const std::string good = dir + "/figures.json", bad = dir + "/bad.json";
  std::ofstream(good) << R"([{"draws": ")" << kDraws
                      << R"(", "directions": "1,-1,1", "favourite": true, "shown_at": 1765200000,
                           "note": "kept"}])";
  std::ofstream(bad) << "[{\"draws\": 7}]";
  const std::string data = "XDG_DATA_HOME='" + dir + "' ";
  const Ran added = RunWithoutDisplay("--import '" + good + "'", data);
  EXPECT_EQ(added.status, 0) << added.out;
  EXPECT_EQ(std::count(added.out.begin(), added.out.end(), '\n'), 1) << added.out;
  EXPECT_NE(added.out.find("Added 1"), std::string::npos) << added.out;
  const Ran refused = RunWithoutDisplay("--import '" + bad + "'", data);
  EXPECT_EQ(refused.status, 2) << refused.out;
  EXPECT_EQ(std::count(refused.out.begin(), refused.out.end(), '\n'), 1) << refused.out;
  EXPECT_EQ(refused.out, "stringart: cannot import '" + bad +
                             "': figure 1: \"draws\" is not text; nothing was added.\n");
  EXPECT_EQ(RunWithoutDisplay("--import '" + good + "' other.png", data).status, 2);
  // In German where the person asks for it, the report as well as the refusal.
  const std::string german = data + "LC_ALL= LC_MESSAGES= LANGUAGE=de LANG=de_DE.UTF-8 ";
  EXPECT_EQ(RunWithoutDisplay("--import '" + bad + "'", german).out,
            "stringart: '" + bad +
                "' lässt sich nicht importieren: Figur 1: „draws“ ist kein Text; es wurde nichts "
                "hinzugefügt.\n");
  EXPECT_EQ(RunWithoutDisplay("--import '" + good + "'", german).out,
            "0 Figuren aus '" + good + "' ins Tagebuch aufgenommen; 1 war schon aufbewahrt.\n");
  std::filesystem::remove_all(dir);
}

// The window started offscreen with `args` in `dir`, its figures kept there, and ended as a
// session's end ends it (SIGTERM) once its journal holds `kept` figures, or after a minute.
struct Started {
  int status;                       // -1 when it did not exit by itself
  std::vector<FigureRecord> shown;  // the figures kept, newest first
};

Started StartAndEnd(std::vector<std::string> args, const std::string& dir, std::size_t kept,
                    const std::string& program = STRINGART) {
  const pid_t pid = fork();
  if (pid == 0) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  const std::string journal = dir + "/stringart/figures.sqlite";
  Started started{-1, {}};
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (started.shown.size() < kept && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // polling the journal
    if (!std::filesystem::exists(journal)) continue;
    Journal figures(journal);
    GalleryCursor cursor;
    started.shown.clear();
    for (const JournalRow& row : figures.Page({}, cursor, 100)) started.shown.push_back(row.figure);
  }
  kill(pid, SIGTERM);
  int raw = 0;
  waitpid(pid, &raw, 0);
  started.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return started;
}

// What the command line names is what the window shows first, and keeps; a file that carries no
// figure leaves a random one; a slideshow goes on to new figures. A copy of the program installed
// with its file formats' module reads the file too; one without the module still starts, on a
// random figure. Each ends by itself, with status 128 + 15, when the session ends.
TEST(WindowProgram, StartsOnTheFigureTheCommandLineNames) {
  namespace fs = std::filesystem;
  const std::string dir = ::testing::TempDir() + "stringart-start-" + std::to_string(getpid());
  const std::string alone = dir + "/alone/stringart", installed = dir + "/usr/bin/stringart";
  const fs::path module =
      fs::path(installed).parent_path() / STRINGART_FILES_MODULE_DIR / "stringart-files.so";
  for (const fs::path& copy : {fs::path(alone), fs::path(installed), module}) {
    fs::create_directories(copy.parent_path());
  }
  fs::copy_file(STRINGART, alone);
  fs::copy_file(STRINGART, installed);
  fs::copy_file(STRINGART_FILES, module);
  const FigureRecord named = {kExampleDraws, {1, -1, 1}, {}};
  const FigureRecord carried = {testing::DrawnFigure(2).draws, {-1, 1, 1}, {}};
  Picture1 picture;
  TraceAgain(carried, picture);
  std::string error;
  ASSERT_TRUE(FigureFileWriter().Save(dir + "/carried.png", picture, carried, error)) << error;
  std::ofstream(dir + "/nothing.png") << "not a picture";

  const struct {
    std::vector<std::string> args;
    std::size_t kept;
    std::function<void(const std::vector<FigureRecord>&)> check;
    std::string program = STRINGART;
  } starts[] = {
      {{"--draws", kDraws, "--directions", "1,-1,1"},
       1,
       [&](const auto& shown) { EXPECT_EQ(shown[0], named); }},
      {{dir + "/carried.png"}, 1, [&](const auto& shown) { EXPECT_EQ(shown[0], carried); }},
      {{dir + "/nothing.png"},
       1,
       [&](const auto& shown) { EXPECT_NE(shown[0].draws, carried.draws); }},
      {{"--slideshow", "1"}, 2, [](const auto& shown) { EXPECT_NE(shown[0], shown[1]); }},
      {{"-platform", "offscreen", "--draws", kDraws},
       1,
       [](const auto& shown) { EXPECT_EQ(shown[0].draws, kExampleDraws); }},
      {{dir + "/carried.png"},
       1,
       [&](const auto& shown) { EXPECT_EQ(shown[0], carried); },
       installed},
      {{dir + "/carried.png"},
       1,
       [&](const auto& shown) { EXPECT_NE(shown[0].draws, carried.draws); },
       alone},
  };
  for (const auto& start : starts) {
    const std::string data = dir + "/data-" + std::to_string(&start - starts);
    const Started started = StartAndEnd(start.args, data, start.kept, start.program);
    SCOPED_TRACE(start.program + " " + start.args[0]);
    EXPECT_EQ(started.status, 128 + SIGTERM);
    ASSERT_EQ(started.shown.size(), start.kept);
    start.check(started.shown);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace stringart
