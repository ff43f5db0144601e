// stringart-render: traces figures without a display and writes the last one to a picture, SVG or
// animation.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/StandardOutput.h"
#include "app/TerminalProgress.h"
#include "canvas/Canvas.h"
#include "canvas/Picture1.h"
#include "export/FigureFile.h"
#include "figure/FigureSequence.h"
#include "figure/Tracer.h"
#include "options/FigureCommand.h"
#include "options/RenderOptions.h"
#include "runtime/AtomicFile.h"
#include "runtime/Clock.h"
#include "runtime/DrawSource.h"
#include "text/Language.h"
#include "text/Quote.h"
#include "text/Reasons.h"

namespace {

using namespace stringart;

volatile std::sig_atomic_t interrupted = 0;  // the signal that asked the run to stop, or 0

// The person's language, as LANGUAGE, LC_ALL, LC_MESSAGES and LANG ask for it; English when
// there is no translation.
const Translate& Language() {
  static const Translate translate = EnvironmentTranslate();
  return translate;
}

void OnInterrupt(int signal) {
  interrupted = signal;
}

int Fail(int status, const std::string& message) {
  // Whatever a message quotes reaches the terminal as text, never as a control sequence.
  const std::string text = InLanguage(message, Language());
  std::fprintf(stderr, "stringart-render: %s\n", EscapeText(text, text.size()).c_str());
  return status;
}

// The shell's convention for a run ended by a signal: 128 + its number (SIGHUP 129, SIGINT 130,
// SIGTERM 143).
int Interrupted(const std::string& when) {
  const char* what = interrupted == SIGTERM  ? "terminated"
                     : interrupted == SIGHUP ? "hung up"
                                             : "interrupted";
  return Fail(128 + interrupted, what + when + "; nothing written");
}

// Catches what is sure to fail before any figure is traced; the save itself still checks.
bool OutputLooksWritable(const std::string& output, std::string& error) {
  const std::string folder = "folder " + Quoted(FolderOf(output));
  switch (CheckWritable(output)) {
    case WriteProblem::None: return true;
    case WriteProblem::IsFolder: error = "it is a directory"; break;
    case WriteProblem::NoFolder: error = folder + " does not exist"; break;
    case WriteProblem::FolderReadOnly: error = folder + " is not writable"; break;
    case WriteProblem::NotRegularFile: error = NotWritableOver(output); break;
  }
  error = "cannot write " + Quoted(output) + ": " + error;
  return false;
}

// Takes the segments of figures whose picture is not kept: a file drawn again from the figure's
// record needs the record alone, which tracing makes whatever it is traced on.
class Unseen final : public Canvas {
 public:
  void Clear() override {}
  void SetBackground(Colour) override {}
  bool DrawLine(float, float, float, float, Colour) override { return true; }
};

void PrintFigure(long k, const FigureRecord& figure) {
  WriteStandardOutput("figure " + std::to_string(k) + " " + DescribeFigure(figure) + "\n");
}

// Traces the run's figures onto `picture` as the window does, each told on standard output: the
// load handler reseeds once and paints the canvas black before the first figure; each figure
// reseeds again and takes its draws; "new" clears the canvas. The last figure, or nullopt when a
// signal stopped the run, with `traced` the figures made. A run whose file is drawn again from
// the record leaves the picture blank: drawing on it was half the time of 200 figures to a PDF.
std::optional<FigureRecord> TraceRun(const RenderOptions& options, Picture1& picture,
                                     long& traced) {
  RandomSource random;
  SystemClock systemClock;
  FixedClock fixedClock(options.seed.value_or(0.0f));
  Clock& clock = options.seed ? static_cast<Clock&>(fixedClock) : systemClock;
  std::unique_ptr<DrawSource> draws;
  if (options.draws) {
    draws = std::make_unique<SuppliedDraws>(*options.draws);
  } else {
    draws = std::make_unique<ClockedRandom>(random, clock);
  }
  Unseen unseen;
  std::optional<FigureSequence> sequence;
  if (options.request) {
    sequence.emplace(unseen);
  } else {
    sequence.emplace(picture);
  }
  FigureSequence& figures = *sequence;
  draws->Reseed();
  picture.SetBackground(kBlack);
  figures.directions = options.directions;
  FigureRecord figure;
  const bool progress = options.figures > 1 && isatty(STDERR_FILENO);
  for (traced = 0; traced < options.figures && !interrupted; ++traced) {
    if (traced > 0) picture.Clear();
    figure = figures.Next(TakeFigureDraws(*draws));
    PrintFigure(traced + 1, figure);
    if (progress) {
      const std::string count =
          "figure " + std::to_string(traced + 1) + " of " + std::to_string(options.figures);
      std::fprintf(stderr, "\r%s", InLanguage(count, Language()).c_str());
    }
  }
  if (progress) std::fputc('\n', stderr);
  // A signal during the last figure stops the run as one between figures does.
  if (interrupted) return std::nullopt;
  return figure;
}

// Writes the file the options ask for of `figure`, shown on `picture`: the exit status.
int WriteOutput(const RenderOptions& options, const Picture1& picture, const FigureRecord& figure) {
  std::string error;
  if (!options.request)
    return SaveFigure(options.output, picture, figure, error) ? 0 : Fail(1, error);
  // Large pictures and animations are drawn again from the figure's record, with a bar; work
  // that takes long is told first, so that it can be stopped and asked for smaller.
  if (const double expected = ExpectedSeconds(*options.request); expected > kLongExportSeconds) {
    const std::string work = EscapeText(std::filesystem::path(options.output).filename().string()) +
                             ": " + DurationText(expected) + " of work";
    std::fprintf(stderr, "stringart-render: %s\n", InLanguage(work, Language()).c_str());
  }
  TerminalProgress bar(
      stderr, EscapeText(std::filesystem::path(options.output).filename().string()), Language());
  const ExportProgress update = [&bar](double done) {
    bar.Update(done);
    return interrupted == 0;
  };
  PlotTotals plot;
  const ExportResult result = ExportFigure(*options.request, figure, update, error, &plot);
  bar.Finish();
  if (result == ExportResult::Cancelled) return Interrupted(" while writing");
  if (result == ExportResult::Failed) return Fail(1, error);
  if (!options.request->plotter()) return 0;
  WriteStandardOutput(PlotLine(plot) + "\n");
  for (const std::string& line : EstimateLines(plot)) {
    WriteStandardOutput(InLanguage(line, Language()) + "\n");
  }
  return StandardOutputWritten("stringart-render") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) return Fail(2, error);
  if (options->help || options->version) {
    WriteStandardOutput(options->help ? RenderUsage(Language())
                                      : "stringart-render " STRINGART_VERSION "\n");
    return StandardOutputWritten("stringart-render") ? 0 : 1;
  }
  if (!OutputLooksWritable(options->output, error)) return Fail(1, error);

  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  // The terminal closing ends the run as SIGTERM does: cleanly, leaving no temporary behind.
  std::signal(SIGHUP, OnInterrupt);

  Picture1 picture;
  long traced = 0;
  const auto figure = TraceRun(*options, picture, traced);
  if (!figure) return Interrupted(" after " + std::to_string(traced) + " figures");
  // The figure lines are how a run's figures are made again: without them the run failed.
  if (!StandardOutputWritten("stringart-render")) return 1;
  return WriteOutput(*options, picture, *figure);
}
