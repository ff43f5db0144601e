#include "form/Form1.h"

#include <algorithm>

#include "figure/Tracer.h"

namespace stringart {

void Form1::FormLoad(Directions first) {
  FormLoadNamed();
  fre = first.red;
  fgr = first.green;
  fbl = first.blue;
  DrawFigure(FigureOrigin::Start);
}

void Form1::FormLoad(FirstFigureAhead& ahead) {
  window_.Show();
  window_.ClearWindow();
  ahead.Wait();
  const FigureRecord& figure = ahead.figure();
  Record(figure.draws, figure.start, FigureOrigin::Start);
  raster_->SetBackground(kBlack);
  std::copy_n(ahead.picture().pixels(), Picture1::kHeight * Picture1::kStride, raster_->pixels());
  figures_.directions = figure.end;
  figures_.x1 = ahead.x1();
  figures_.y1 = ahead.y1();
  lastFigure_ = figure;
  showsFigure_ = true;
  history_.Append(lastFigure_);
  ++figuresTraced_;
}

void Form1::FormLoadNamed() {
  window_.Show();
  random_.Reseed();
  window_.ClearWindow();
  picture1_.SetBackground(PackColour(0, 0, 0));
  fre = fgr = fbl = 1;
}

void Form1::Command1Click() {
  picture1_.Clear();
  DrawFigure(FigureOrigin::New);
}

void Form1::DrawFigure(FigureOrigin origin) {
  const FigureDraws draws = TakeFigureDraws(random_);
  const Directions start{fre, fgr, fbl};
  Record(draws, start, origin);
  Trace(draws, start);
  history_.Append(lastFigure_);
  ++figuresTraced_;
}

void Form1::Record(const FigureDraws& draws, Directions start, FigureOrigin origin) {
  // Before the trace: the journal's thread commits the figure while it is traced, not after.
  if (journal_ != nullptr) journal_->Record({draws, start, {}}, origin);
}

bool Form1::ShowFigure(std::size_t index) {
  if (index >= history_.size()) return false;
  const FigureRecord figure = history_.At(index);
  // As "new" traced it: a cleared canvas, the same draws, the same start directions.
  picture1_.Clear();
  Trace(figure.draws, figure.start);
  history_.Show(index);
  return true;
}

bool Form1::GoBack() {
  const std::size_t back = history_.shownEarlier();
  if (back == 0 && history_.shown() > 0) return ShowFigure(history_.shown() - 1);
  return !history_.empty() && ShowEarlier(back + 1);
}

bool Form1::GoForward() {
  const std::size_t back = history_.shownEarlier();
  if (back > 1) return ShowEarlier(back - 1);
  if (back == 1) return ShowFigure(0);
  return history_.CanGoForward() && ShowFigure(history_.shown() + 1);
}

bool Form1::CanGoBack() {
  if (history_.empty()) return false;
  FetchEarlier(history_.shownEarlier() + 1);
  return history_.CanGoBack();
}

void Form1::FetchEarlier(std::size_t back) {
  // A page at a time: going back is one figure per press, and the journal may hold many.
  constexpr std::size_t kPage = 64;
  while (journal_ != nullptr && !earlierExhausted_ && history_.earlierSize() < back) {
    const std::vector<KeptFigure> page = journal_->Earlier(earliestFetched_, kPage);
    for (const KeptFigure& kept : page) history_.AddEarlier(kept.figure);
    if (page.size() < kPage) earlierExhausted_ = true;
    if (!page.empty()) earliestFetched_ = page.back().id;
  }
}

bool Form1::ShowEarlier(std::size_t back) {
  FetchEarlier(back);
  if (back == 0 || back > history_.earlierSize()) return false;
  const FigureRecord figure = history_.Earlier(back);
  picture1_.Clear();
  Trace(figure.draws, figure.start);
  history_.ShowEarlier(back);
  return true;
}

void Form1::OpenFigure(const FigureRecord& figure, FigureOrigin origin) {
  Record(figure.draws, figure.start, origin);
  picture1_.Clear();
  Trace(figure.draws, figure.start);
  history_.Append(lastFigure_);
}

void Form1::Preview(const FigureRecord& figure) {
  picture1_.Clear();
  Trace(figure.draws, figure.start);
}

void Form1::Trace(const FigureDraws& draws, Directions start) {
  lastFigure_ = figures_.Next(draws, start);
  showsFigure_ = true;
}

}  // namespace stringart
