// Form1 with a journal: every figure shown anew is recorded, with how it came, and going back
// from the run's first figure goes on into earlier runs' figures, fetched a page at a time.
#include <gtest/gtest.h>

#include <vector>

#include "canvas/Picture1.h"
#include "form/Form1.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

using testing::DrawnFigure;

// A journal in memory that holds `earlier` figures of earlier runs, rows 1 to `earlier`.
class MemoryJournal final : public FigureJournal {
 public:
  explicit MemoryJournal(int earlier) {
    for (int i = 0; i < earlier; ++i)
      kept.push_back({i + 1, DrawnFigure(static_cast<unsigned>(i))});
  }
  void Record(const FigureRecord& figure, FigureOrigin origin) override {
    recorded.push_back({figure, origin});
  }
  std::vector<KeptFigure> Earlier(std::int64_t beforeId, std::size_t count) override {
    ++fetches;
    std::vector<KeptFigure> page;
    for (auto it = kept.rbegin(); it != kept.rend() && page.size() < count; ++it) {
      if (beforeId == 0 || it->id < beforeId) page.push_back(*it);
    }
    return page;
  }
  std::vector<KeptFigure> kept;
  std::vector<std::pair<FigureRecord, FigureOrigin>> recorded;
  int fetches = 0;
};

class NoWindow final : public WindowServices {
 public:
  void Show() override {}
  void ClearWindow() override {}
};

struct JournalledRun {
  NoWindow window;
  Picture1 picture;
  SuppliedDraws draws{kExampleDraws};
  Form1 form{window, picture, draws};
  explicit JournalledRun(FigureJournal* journal) {
    form.KeepIn(journal);
    form.FormLoad();
  }
  // The canvas matches `figure` traced on its own.
  bool Shows(const FigureRecord& figure) const {
    Picture1 alone;
    TraceAgain(figure, alone);
    return testing::RasterDigest(alone) == testing::RasterDigest(picture);
  }
};

TEST(EarlierRuns, BackFromTheFirstFigureGoesOnIntoEarlierRunsAndForwardComesBack) {
  constexpr int kEarlier = 150;  // more than a page
  MemoryJournal journal(kEarlier);
  JournalledRun run(&journal);
  run.form.Command1Click();
  const FigureRecord second = run.form.lastFigure();

  ASSERT_TRUE(run.form.GoBack());
  EXPECT_EQ(run.form.history().shown(), 0u);
  for (int back = 1; back <= kEarlier; ++back) {
    ASSERT_TRUE(run.form.CanGoBack()) << back;
    ASSERT_TRUE(run.form.GoBack()) << back;
    EXPECT_EQ(run.form.history().shownEarlier(), static_cast<std::size_t>(back));
    ASSERT_EQ(run.form.lastFigure().draws, DrawnFigure(kEarlier - back).draws) << "newest first";
  }
  EXPECT_TRUE(run.Shows(DrawnFigure(0)));
  EXPECT_FALSE(run.form.CanGoBack());
  EXPECT_FALSE(run.form.GoBack()) << "the oldest figure of all";
  EXPECT_EQ(journal.fetches, 3) << "pages of 64, the last one short";

  for (int back = kEarlier - 1; back >= 0; --back) ASSERT_TRUE(run.form.GoForward()) << back;
  EXPECT_EQ(run.form.history().shownEarlier(), 0u);
  EXPECT_EQ(run.form.history().shown(), 0u) << "back at the run's first figure";
  ASSERT_TRUE(run.form.GoForward());
  EXPECT_TRUE(run.Shows(second));
  EXPECT_EQ(journal.recorded.size(), 2u) << "going back and forth records nothing";

  // "new" from an earlier figure: appended to this run, from the directions that one left.
  for (int i = 0; i < 3; ++i) run.form.GoBack();
  const Directions left = run.form.lastFigure().end;
  run.form.Command1Click();
  EXPECT_EQ(run.form.history().size(), 3u);
  EXPECT_EQ(run.form.lastFigure().start, left);

  // Each figure shown anew is recorded as it is about to be traced: its draws, its start
  // directions and how it came.
  const FigureRecord opened{kExampleDraws, {-1, 1, -1}, {}};
  run.form.OpenFigure(opened);
  run.form.OpenFigure(DrawnFigure(7), FigureOrigin::Gallery);
  std::vector<FigureOrigin> origins;
  for (const auto& [figure, origin] : journal.recorded) origins.push_back(origin);
  EXPECT_EQ(origins, (std::vector{FigureOrigin::Start, FigureOrigin::New, FigureOrigin::New,
                                  FigureOrigin::Opened, FigureOrigin::Gallery}));
  for (std::size_t i = 0; i < origins.size(); ++i) {
    const FigureRecord& kept = journal.recorded[i].first;
    EXPECT_EQ(kept.draws, run.form.history().At(i).draws) << "figure " << i;
    EXPECT_EQ(kept.start, run.form.history().At(i).start) << "figure " << i;
  }
  EXPECT_EQ(journal.recorded[3].first.start, opened.start);
}

}  // namespace
}  // namespace stringart
