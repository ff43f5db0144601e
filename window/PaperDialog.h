#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>
#include <vector>

#include "canvas/SegmentRecorder.h"
#include "figure/FigureRecord.h"
#include "options/ExportRequest.h"
#include "options/Paper.h"
#include "paper/PenPlot.h"
#include "paper/Plot.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace stringart {

// "Save for paper": the figure on the canvas as a plotter's SVG or HPGL, a PDF or a PNG for a
// sheet of paper. Asks for the kind, the sheet and its orientation, the margin, a plotter's pens
// (a swatch for each, which a click changes) and pen width, or a print's dots per inch and
// ground, and proposes a file name that names the figure and the sheet. The line at the top
// tells, as the choices change, what the file will be: for a plotter its pens, the metres the pen
// travels down and up and the time it takes. It opens with the choices last saved with.
class PaperDialog final : public QDialog {
  Q_OBJECT

 public:
  // In the order the kind box lists them, which is also the order settings remember.
  enum class Kind { PlotterSvg, Hpgl, Pdf, Png, Gcode };

  // The file is proposed in `folder`.
  PaperDialog(const FigureRecord& figure, const QString& folder, QWidget* parent = nullptr);

  // What was chosen, as the export is made from it; meaningful once accepted.
  const ExportRequest& request() const { return request_; }
  Kind kind() const;
  PaperSettings settings() const;
  QString path() const;
  // The pens the swatches show, by number.
  const std::vector<Colour>& pens() const { return pens_; }
  // Gives pen `index` (from 0) a colour of one's own, as a swatch's colour dialog does.
  void SetPenColour(int index, Colour colour);

  QComboBox* kindBox() const { return kind_; }
  QComboBox* paperBox() const { return paper_; }
  QComboBox* orientationBox() const { return orientation_; }
  QDoubleSpinBox* marginBox() const { return margin_; }
  QSpinBox* pensBox() const { return penCount_; }
  QDoubleSpinBox* penWidthBox() const { return penWidth_; }
  QSpinBox* dpiBox() const { return dpi_; }
  QCheckBox* onWhiteBox() const { return onWhite_; }
  QLineEdit* fileBox() const { return file_; }
  QLabel* summaryLabel() const { return summary_; }
  QLabel* previewLabel() const { return preview_; }
  QSpinBox* plotTimeBox() const { return plotMinutes_; }
  // Gives the paper a colour, as its swatch's colour dialog does.
  void SetPaperColour(Colour colour);
  QLabel* problemLabel() const { return problem_; }
  const QList<QToolButton*>& swatches() const { return swatches_; }

  // Checks the choice; closes only when it can be written.
  void accept() override;

 private:
  void AddSheetRows(QFormLayout& form);
  void AddPenRows(QFormLayout& form);
  void AddFileRow(QFormLayout& form);
  // The choices made the last time a file was saved for paper.
  void ReadSettings();
  // The figure's colours reduced to the pens' count, on the swatches.
  void ReducePens();
  // The pens changed: show them and plan the plot again.
  void PensChanged();
  // Plans the plot as the file will draw it, when the pens, the sheet, the pen or the time have
  // changed since it was last planned.
  void PlanAgain(const PaperSettings& chosen);
  // Anything changed: show the rows of the kind, the line at the top and the proposed name.
  void ChoiceChanged();
  void ChoosePenColour(int index);
  QString Summary() const;
  bool plotter() const;
  // What the pens will draw, or the print, on the paper's colour.
  void ShowPreview();
  QString ProposedName() const;
  QString Suffix() const;
  void Browse();
  void Refuse(const QString& reason);

  QString figureName_;
  QString folder_;        // where the file was proposed
  QString proposedName_;  // the file name last proposed
  std::vector<Segment> segments_;
  std::vector<Colour> pens_;
  bool ownPens_ = false;          // a swatch was changed: the pens are one's own
  std::vector<Colour> keptPens_;  // one's own pens, as last saved
  QImage figureImage_;            // a print's figure for the preview, drawn once
  PenPlot plot_;                  // the segments as pens_ plot them, thinned to planned_
  std::vector<Colour> plannedPens_;
  PlotLimits planned_;  // what plot_ was planned for; a pen width of 0 before the first plan
  bool hasPlan_ = false;
  QFormLayout* form_ = nullptr;
  QComboBox *kind_ = nullptr, *paper_ = nullptr, *orientation_ = nullptr;
  QDoubleSpinBox *width_ = nullptr, *height_ = nullptr, *margin_ = nullptr, *penWidth_ = nullptr;
  QSpinBox *penCount_ = nullptr, *dpi_ = nullptr, *plotMinutes_ = nullptr;
  QToolButton* paperColourButton_ = nullptr;
  std::optional<Colour> paperColour_;  // chosen; white paper, or a print's black, when not
  QCheckBox* onWhite_ = nullptr;
  QWidget* sides_ = nullptr;
  QWidget* penRow_ = nullptr;
  QList<QToolButton*> swatches_;
  QLineEdit* file_ = nullptr;
  QLabel *summary_ = nullptr, *problem_ = nullptr, *preview_ = nullptr;
  ExportRequest request_;
};

}  // namespace stringart
