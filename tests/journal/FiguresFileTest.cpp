// Figures files: what is written reads back to the bit, hostile text and files are refused whole
// with one line, and importing adds each figure once, all or nothing, as `--import` reports it.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "journal/FiguresFile.h"
#include "journal/ImportCommand.h"
#include "journal/Journal.h"
#include "options/FigureCommand.h"
#include "tests/support/Figures.h"
#include "text/Quote.h"

namespace stringart {
namespace {

namespace fs = std::filesystem;
using testing::DrawnFigure;

// A figures file of one figure whose `key` is `value` (JSON), after valid draws.
std::string With(const std::string& key, const std::string& value) {
  return "[{\"draws\": \"" + FormatDraws(kExampleDraws) + "\", \"" + key + "\": " + value + "}]";
}

TEST(FiguresFile, WhatIsWrittenReadsBackToTheBit) {
  std::vector<TravellingFigure> figures;
  for (int i = 0; i < 40; ++i) {
    figures.push_back({DrawnFigure(i), i % 3 == 0, 1733680000 + i, ""});
  }
  figures[1].note =
      "\"quoted\" \\ back-slashed, Gr\xc3\xbc\xc3\x9f"
      "e \xf0\x9f\x8c\x8a";
  // A script's note: a tab, an escape and 5,000 bytes; written one line of 4,000 at most.
  figures[2].note = "a\tb\x1b[31m" + std::string(4990, 'n');
  std::string error;
  const auto read = ParseFiguresFile(FormatFiguresFile(figures), error);
  ASSERT_TRUE(read.has_value()) << error << "\n" << FormatFiguresFile(figures);
  ASSERT_EQ(read->size(), figures.size());
  for (std::size_t i = 0; i < figures.size(); ++i) {
    EXPECT_EQ((*read)[i].figure, figures[i].figure) << i;
    EXPECT_EQ((*read)[i].favourite, figures[i].favourite) << i;
    EXPECT_EQ((*read)[i].shownAt, figures[i].shownAt) << i;
    EXPECT_EQ((*read)[i].note, KeptNote(figures[i].note)) << i;
  }
  // Only draws: rising directions, no favourite, no note, shown now; other keys passed over.
  const auto plain = ParseFiguresFile(With("by", "{\"tool\": [1, 2.5, null]}"), error);
  ASSERT_TRUE(plain.has_value()) << error;
  EXPECT_EQ((*plain)[0].figure, (FigureRecord{kExampleDraws, {1, 1, 1}, {}}));
  EXPECT_GT((*plain)[0].shownAt, 1733680000);
  EXPECT_TRUE(ParseFiguresFile(" [ ] ", error).value().empty());
  EXPECT_EQ(KeptNote("a\tb\x1b[31m\xc2\x9b"), "a b [31m  ");

  // The file the page's tests open as the window's: what the window writes, byte for byte.
  std::ifstream in(STRINGART_SOURCE_DIR "/tests/data/figures-from-the-window.json");
  const std::string window((std::istreambuf_iterator<char>(in)), {});
  const auto travelled = ParseFiguresFile(window, error);
  ASSERT_TRUE(travelled.has_value()) << error;
  EXPECT_EQ(FormatFiguresFile(*travelled), window);
}

TEST(FiguresFile, HostileTextIsRefusedWholeWithOneLine) {
  const std::string deep = With("x", std::string(100000, '[') + std::string(100000, ']'));
  const struct {
    std::string text, says;
  } cases[] = {
      {"", "not JSON"},
      {"figures", "not JSON (at byte"},
      {"[{\"draws\": \"" + FormatDraws(kExampleDraws) + "\"", "not JSON"},
      {"{\"draws\": \"0.1\"}", "not a list of figures"},
      {"42", "not a list of figures"},
      {"[42]", "figure 1: it is not an object"},
      {"[[]]", "figure 1: it is not an object"},
      {"[{}]", "figure 1: it has no \"draws\""},
      {"[{\"draws\": 12}]", "\"draws\" is not text"},
      {"[{\"draws\": \"1.5,0,0,0,0,0,0,0,0,0,0,0\"}]", "figure 1: "},
      {"[{\"draws\": \"0.1,0.2\"}]", "figure 1: "},
      {With("directions", "\"2,1,1\""), "figure 1: "},
      {With("directions", "[1, 1, 1]"), "\"directions\" is not text"},
      {With("favourite", "\"yes\""), "\"favourite\" is not true or false"},
      {With("shown_at", "-1"), "not a time from 1970 to 9999"},
      {With("shown_at", "1e300"), "not a whole number"},
      {With("shown_at", "99999999999999999999"), "not a whole number"},
      {With("shown_at", "18446744073709551615"), "not a time from 1970 to 9999"},
      {With("note", "\"a\\u0000b\""), "control character"},
      {With("note", "\"a\\u001b[31m\""), "control character"},
      {With("note", "\"" + std::string(kNoteMax + 1, 'n') + "\""), "longer than 4000 bytes"},
      {With("note", "\"\xff\""), "not JSON"},
      {With("draws", "\"0.1\""), "\"draws\" is given twice"},
      {With("x", "[[[[[[[[[1]]]]]]]]]"), "nested too deeply"},
      {deep, "nested too deeply"},
      {"[{\"draws\": \"" + FormatDraws(kExampleDraws) + "\"}, 7]", "figure 2: it is not an object"},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto read = ParseFiguresFile(c.text, error);
    const std::string shown = c.text.substr(0, 80);
    EXPECT_FALSE(read.has_value()) << shown;
    EXPECT_NE(error.find(c.says), std::string::npos) << shown << " -> " << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << shown << " -> " << error;
  }
}

class FiguresImport : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("stringart-import-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    journal_ = (dir_ / "figures.sqlite").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path) << text;
    return path;
  }
  // --import as the program runs it: its status, what it printed on each stream.
  int Import(const std::string& file, std::string& out, std::string& err) {
    std::ostringstream o, e;
    const int status = ImportFiguresCommand(file, journal_, o, e);
    out = o.str();
    err = e.str();
    return status;
  }
  std::string Rows() {
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    sqlite3_open(journal_.c_str(), &db);
    std::string rows;
    if (sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM figures", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
      rows = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return rows;
  }

  fs::path dir_;
  std::string journal_;
};

TEST_F(FiguresImport, EachFigureIsAddedOnceAndWhatIsKeptTakesTheFilesMark) {
  {
    Journal journal(journal_);
    journal.Record(DrawnFigure(1), FigureOrigin::Start);
  }
  const std::string file = (dir_ / "figures-2026-12-08.json").string();
  std::string out, err;
  ASSERT_TRUE(WriteFiguresFile(file,
                               {{DrawnFigure(1), true, 100, "kept one"},
                                {DrawnFigure(2), true, 200, "new one"},
                                {DrawnFigure(2), false, 300, ""}},
                               err))
      << err;
  ASSERT_EQ(Import(file, out, err), 0) << err;
  EXPECT_EQ(out, "Added 1 figure from " + Quoted(file) + " to the journal; 1 was kept already.\n");
  EXPECT_EQ(err, "");
  EXPECT_EQ(Import(file, out, err), 0) << err;
  EXPECT_EQ(out.rfind("Added 0 figures", 0), 0u) << out;
  EXPECT_EQ(Rows(), "2");
  const std::string kept = journal_;
  journal_ = File("plain", "") + "/figures.sqlite";  // a folder that is a file
  EXPECT_EQ(Import(file, out, err), 1);
  EXPECT_NE(err.find("nothing was added"), std::string::npos) << err;
  Journal journal(kept);
  for (int i : {1, 2}) EXPECT_TRUE(journal.IsFavourite(DrawnFigure(i))) << i;
  GalleryCursor cursor;
  const std::vector<JournalRow> rows = journal.Page({}, cursor, 10);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].figure, DrawnFigure(2)) << "shown at 200, before the first";
  EXPECT_EQ(rows[1].note, "new one");
  EXPECT_EQ(rows[0].note, "kept one") << "a note where the kept figure had none";
}

// Each refused before a figure is added: status 2, one line on standard error, no row.
TEST_F(FiguresImport, AFileThatDoesNotReadAddsNothingWithStatusTwo) {
  const std::string good = "{\"draws\": \"" + FormatDraws(kExampleDraws) + "\"}";
  const std::string big = (dir_ / "big.json").string();
  std::ofstream(big) << "[";
  fs::resize_file(big, 100u << 20);
  mkfifo((dir_ / "fifo.json").c_str(), 0600);
  const std::pair<std::string, std::string> files[] = {
      {File("late.json", "[" + good + ", " + good + ", {\"draws\": \"0.1\"}]"), "figure 3: "},
      {File("text.json", "figures"), "not JSON"},
      {big, "larger than 32 MiB"},
      {(dir_ / "fifo.json").string(), "not a regular file"},
      {dir_.string(), "folder"},
      {(dir_ / "none.json").string(), "No such file"},
  };
  for (const auto& [file, says] : files) {
    std::string out, err;
    EXPECT_EQ(Import(file, out, err), 2) << file;
    EXPECT_EQ(out, "") << file;
    EXPECT_NE(err.find(says), std::string::npos) << file << ": " << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
  EXPECT_EQ(Rows(), "") << "no journal was even opened";
}

}  // namespace
}  // namespace stringart
