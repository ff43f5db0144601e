// Form1 on its own: the load handler and "new" on a canvas, with the first figure traced ahead or
// by the handler.
#include <gtest/gtest.h>

#include <cstdint>

#include "canvas/Picture1.h"
#include "form/FirstFigureAhead.h"
#include "form/Form1.h"
#include "runtime/Colour.h"
#include "runtime/DrawSource.h"
#include "tests/support/Figures.h"

namespace stringart {
namespace {

using testing::kExampleDraws;
using testing::kPinnedFigures;

// The load handler on its own: it reseeds before the tracer does and paints the canvas black,
// whatever the canvas showed.
TEST(Form1, LoadReseedsPaintsTheCanvasBlackAndTracesOneFigure) {
  struct Services final : WindowServices {
    int shown = 0, cleared = 0;
    void Show() override { ++shown; }
    void ClearWindow() override { cleared += shown; }  // counts only once shown
  };
  struct CountedDraws final : DrawSource {
    int reseeds = 0;
    SuppliedDraws inner{kExampleDraws};
    void Reseed() override {
      ++reseeds;
      inner.Reseed();
    }
    float Next() override { return inner.Next(); }
  };
  // Traced by the load handler, or ahead on a thread of its own: the same, and so is the figure
  // after it, which goes on from what the first left.
  std::uint64_t next[2] = {};
  for (const bool ahead : {false, true}) {
    Services window;
    CountedDraws draws;
    Picture1 picture;
    picture.SetBackground(PackColour(255, 255, 255));
    Form1 form(window, picture, draws);
    if (ahead) {
      FirstFigureAhead first(draws);
      form.FormLoad(first);
    } else {
      form.FormLoad();
    }
    EXPECT_EQ(draws.reseeds, 2) << "the load handler reseeds, then the tracer";
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(window.cleared, 1);
    EXPECT_EQ(picture.background(), kBlack);
    EXPECT_EQ(testing::RasterDigest(picture), kPinnedFigures[0].raster) << "ahead " << ahead;
    EXPECT_EQ(form.figuresTraced(), 1);
    EXPECT_EQ(form.history().size(), 1u);
    EXPECT_EQ(form.lastFigure().end, (Directions{1, 1, -1}));
    form.Command1Click();
    next[ahead] = testing::RasterDigest(picture);
  }
  EXPECT_EQ(next[0], next[1]) << "the figure after one traced ahead differs";
}

}  // namespace
}  // namespace stringart
